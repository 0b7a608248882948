#include "entry/ui/memo_panel.h"

#include "entry/ui/field_entry.h"
#include "core/settings.h"
#include "data/student_table.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace zedora {

namespace {
const QColor kFocusColour(255, 255, 128);
} // namespace

MemoPanel::MemoPanel(StudentTable& table, Settings& settings, QWidget* parent)
    : QFrame(parent), table_(table), settings_(settings)
{
    setObjectName(QStringLiteral("EdTB"));
    setFrameShape(QFrame::StyledPanel);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(4, 2, 4, 2);
    v->setSpacing(2);
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("Label4"));
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);
    v->addWidget(heading_);

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("DBMemo1"));
    memo_->setTabChangesFocus(true);
    memo_->installEventFilter(this);
    v->addWidget(memo_, 1);
    setMemoFont(settings_.dbmemoZeichenGroesse);
    connect(memo_, &QPlainTextEdit::textChanged, this, &MemoPanel::textChanged);

    toolbar_ = new QFrame(this);
    toolbar_->setObjectName(QStringLiteral("Panel4"));
    auto* t = new QHBoxLayout(toolbar_);
    t->setContentsMargins(0, 0, 0, 0);
    t->setSpacing(4);
    // The length test and the spelling check come with the text-block tools.
    auto* lengthTest = new QPushButton(
        settings_.MitLaengentest ? QStringLiteral("Längentest ist an") : QStringLiteral("Längentest ist aus"),
        toolbar_);
    lengthTest->setObjectName(QStringLiteral("bitbtn1"));
    lengthTest->setFocusPolicy(Qt::NoFocus);
    lengthTest->setEnabled(false);
    t->addWidget(lengthTest);
    QToolButton* save = button("SpeedButton14", QStringLiteral("<F8> Speichern"), QString());
    QToolButton* next = button("SpeedButton15", QStringLiteral("<F9> Speichern+nächster"), QString());
    QToolButton* cancel = button("SpeedButton17", QStringLiteral("<ESC>"), QStringLiteral("Abbruch"));
    for (QToolButton* b : {save, next, cancel})
        t->addWidget(b);
    connect(save, &QToolButton::clicked, this, &MemoPanel::saveRequested);
    connect(next, &QToolButton::clicked, this, [this] { emit saveAndNextRequested(true); });
    connect(cancel, &QToolButton::clicked, this, &MemoPanel::cancelRequested);
    auto* idHint = new QLabel(QStringLiteral("TBS-Nummer und Strg+T"), toolbar_);
    idHint->setObjectName(QStringLiteral("tbsHinweis"));
    idHint->setEnabled(false);
    t->addWidget(idHint);
    t->addStretch(1);
    QToolButton* smaller = button("SpeedButton22", QStringLiteral("A-"), QStringLiteral("Schrift kleiner"));
    QToolButton* larger = button("SpeedButton23", QStringLiteral("A+"), QStringLiteral("Schrift größer"));
    QToolButton* lower = button("SpeedButton24", QStringLiteral("▼"), QStringLiteral("Textfeld niedriger"));
    QToolButton* higher = button("SpeedButton25", QStringLiteral("▲"), QStringLiteral("Textfeld höher"));
    QToolButton* spelling = button("SpeedButton6", QStringLiteral("ABC"), QStringLiteral("Rechtschreibprüfung"));
    spelling->setEnabled(false);
    for (QToolButton* b : {smaller, larger, lower, higher, spelling})
        t->addWidget(b);
    connect(smaller, &QToolButton::clicked, this, [this] {
        if (settings_.dbmemoZeichenGroesse >= 8)
            setMemoFont(settings_.dbmemoZeichenGroesse - 2);
    });
    connect(larger, &QToolButton::clicked, this, [this] {
        if (settings_.dbmemoZeichenGroesse <= 24)
            setMemoFont(settings_.dbmemoZeichenGroesse + 2);
    });
    const auto resize = [this](int by) {
        const int height = settings_.DBMHoehe + by;
        if ((by < 0 && settings_.DBMHoehe > 50) || (by > 0 && settings_.DBMHoehe < 400)) {
            settings_.DBMHoehe = height;
            if (textHasFocus())
                setFixedHeight(height);
        }
    };
    connect(lower, &QToolButton::clicked, this, [resize] { resize(-10); });
    connect(higher, &QToolButton::clicked, this, [resize] { resize(10); });
    v->addWidget(toolbar_);
    toolbar_->hide();

    const auto key = [this](QKeySequence seq, auto act) {
        auto* sc = new QShortcut(seq, memo_, nullptr, nullptr, Qt::WidgetShortcut);
        connect(sc, &QShortcut::activated, this, act);
    };
    key(QKeySequence(Qt::Key_F8), [this] { emit saveRequested(); });
    key(QKeySequence(Qt::Key_F9), [this] { emit saveAndNextRequested(true); });
    key(QKeySequence(Qt::SHIFT | Qt::Key_F8), [this] { emit saveAndNextRequested(false); });
    key(QKeySequence(Qt::Key_Escape), [this] { emit cancelRequested(); });

    connect(&table_, &StudentTable::currentRowChanged, this, &MemoPanel::refresh);
    connect(&table_, &StudentTable::rowsReset, this, &MemoPanel::refresh);
    connect(&table_, &StudentTable::rowChanged, this, [this](int row) {
        if (row == table_.currentRow())
            refresh();
    });
    setFixedHeight(kRestingHeight);
    hide();
}

QToolButton* MemoPanel::button(const char* name, const QString& text, const QString& hint)
{
    auto* b = new QToolButton(toolbar_);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setToolTip(hint.isEmpty() ? text : hint);
    // Clicking must leave the focus in the text.
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

void MemoPanel::showFor(const QString& caption, const QString& field)
{
    heading_->setText(QStringLiteral(" ") + caption.trimmed() + QStringLiteral(" (") + field + QStringLiteral(")"));
    field_ = field;
    refresh();
    show();
}

void MemoPanel::hidePanel()
{
    setFixedHeight(kRestingHeight);
    hide();
}

bool MemoPanel::textHasFocus() const
{
    return memo_->hasFocus();
}

void MemoPanel::refresh()
{
    if (field_.isEmpty())
        return;
    QString shown = table_.currentRow() < 0 ? QString() : table_.value(field_);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (memo_->toPlainText() == shown)
        return;
    refreshing_ = true;
    memo_->setPlainText(shown);
    if (memo_->hasFocus())
        memo_->moveCursor(QTextCursor::End);
    refreshing_ = false;
}

void MemoPanel::textChanged()
{
    if (refreshing_ || field_.isEmpty() || table_.currentRow() < 0)
        return;
    changed_ = true;
    QString text = memo_->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    // A refused change (read-only, unstorable characters) shows the stored
    // text again.
    if (!table_.setValue(field_, text))
        QMetaObject::invokeMethod(this, &MemoPanel::refresh, Qt::QueuedConnection);
}

void MemoPanel::setMemoFont(int points)
{
    settings_.dbmemoZeichenGroesse = points;
    QFont f = memo_->font();
    f.setPointSize(std::max(4, points));
    memo_->setFont(f);
}

void MemoPanel::focusIn()
{
    memo_->moveCursor(QTextCursor::End);
    // The text is drawn on the viewport, which a style sheet above may
    // have given a palette of its own.
    for (QWidget* w : {static_cast<QWidget*>(memo_), memo_->viewport()}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, kFocusColour);
        w->setPalette(p);
    }
    setFixedHeight(settings_.DBMHoehe);
    toolbar_->show();
    emit entered();
}

void MemoPanel::focusOut()
{
    toolbar_->hide();
    setFixedHeight(kRestingHeight);
    memo_->setPalette(QPalette());
    memo_->viewport()->setPalette(QPalette());
    emit left();
}

bool MemoPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == memo_) {
        switch (event->type()) {
        case QEvent::FocusIn:
            focusIn();
            break;
        case QEvent::FocusOut:
            if (endsOrBeginsEntry(*event))
                focusOut();
            break;
        case QEvent::KeyPress:
            insertLineMark(*memo_, *event);
            break;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace zedora
