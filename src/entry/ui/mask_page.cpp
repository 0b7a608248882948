#include "entry/ui/mask_page.h"

#include "entry/ui/field_entry.h"
#include "data/column_layout.h"
#include "data/student_schema.h"
#include "data/student_table.h"
#include "entry/colour_chains.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace zedora {

namespace {
const QColor kFocusColour(255, 255, 128);
const char* const kTextKeysHint = "<F8>Speichern, <F9>Speichern und nächster, <ESC>Abbruch";
constexpr int kTextHeight = 25;
constexpr int kFocusedTextHeight = 70;
} // namespace

MaskPageView::MaskPageView(StudentTable& table, const Settings& settings, QWidget* parent)
    : QWidget(parent), table_(table), settings_(settings)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);
    content_ = new QWidget(scroll);
    new QVBoxLayout(content_);
    scroll->setWidget(content_);
    connect(&table_, &StudentTable::currentRowChanged, this, &MaskPageView::refresh);
    connect(&table_, &StudentTable::rowChanged, this, [this](int row) {
        if (row == table_.currentRow())
            refresh();
    });
    connect(&table_, &StudentTable::rowsReset, this, &MaskPageView::refresh);
}

// F8 saves, F9 saves and moves to the next student, Esc drops the edit.
void MaskPageView::keys(QWidget* w)
{
    const auto add = [this, w](QKeySequence seq, std::function<void()> act) {
        auto* sc = new QShortcut(seq, w, nullptr, nullptr, Qt::WidgetShortcut);
        connect(sc, &QShortcut::activated, this, std::move(act));
    };
    add(QKeySequence(Qt::Key_F8), [this] { table_.savePending(); });
    add(QKeySequence(Qt::Key_F9), [this] {
        if (table_.savePending())
            table_.next();
    });
    add(QKeySequence(Qt::Key_Escape), [this] { table_.cancel(); });
}

QWidget* MaskPageView::lineBox(const QString& name, const QString& field, int maxLength, bool readOnly)
{
    auto* e = new QLineEdit(content_);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    e->setReadOnly(readOnly);
    e->setMaximumWidth(maxLength <= 3 ? 48 : maxLength <= 6 ? 80 : 16777215);
    if (!readOnly) {
        connect(e, &QLineEdit::editingFinished, this, [this, e, field] { store(field, e->text()); });
        // While a grade is typed its colour follows the value.
        connect(e, &QLineEdit::textEdited, this, [this, e, field] { showColour(e, field, false); });
        keys(e);
        e->installEventFilter(this);
    }
    bindings_.push_back({e, field});
    return e;
}

QPlainTextEdit* MaskPageView::textBox(const QString& name, const QString& field)
{
    auto* t = new QPlainTextEdit(content_);
    t->setObjectName(name);
    t->setFixedHeight(kTextHeight);
    t->setTabChangesFocus(true);
    t->installEventFilter(this);
    connect(t, &QPlainTextEdit::textChanged, this, [this, t, field] {
        QString text = t->toPlainText();
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        store(field, text);
    });
    keys(t);
    bindings_.push_back({t, field});
    return t;
}

// A field turns light yellow while it has the focus; a grade shows the
// colour of its value otherwise.
void MaskPageView::showColour(QLineEdit* box, const QString& field, bool focused)
{
    QPalette p = box->palette();
    QColor colour = palette().color(QPalette::Base);
    if (focused && !box->isReadOnly())
        colour = kFocusColour;
    else if (fieldKind(field) == FieldKind::Grade) {
        if (const std::optional<QColor> c = ColourChains::fromSettings(settings_).colourFor(box->text().trimmed()))
            colour = *c;
    }
    p.setColor(QPalette::Base, colour);
    box->setPalette(p);
}

void MaskPageView::textFocus(QPlainTextEdit* text, bool focused)
{
    // Painted on the viewport, which a style sheet above may have given a
    // palette of its own.
    for (QWidget* w : {static_cast<QWidget*>(text), text->viewport()}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base,
                   focused && !text->isReadOnly() ? kFocusColour : palette().color(QPalette::Base));
        w->setPalette(p);
    }
    text->setFixedHeight(focused ? kFocusedTextHeight : kTextHeight);
    for (const Binding& b : bindings_) {
        if (b.hint)
            b.hint->setText(focused && b.widget == text ? QString::fromUtf8(kTextKeysHint) : QString());
    }
    if (focused)
        text->moveCursor(QTextCursor::End);
    else
        table_.savePending();  // a failed save keeps the pending edit
}

bool MaskPageView::eventFilter(QObject* watched, QEvent* event)
{
    const bool focusIn = event->type() == QEvent::FocusIn;
    const bool focusChange = focusIn || event->type() == QEvent::FocusOut;
    if (focusChange && !focusIn && !endsOrBeginsEntry(*event))
        return QWidget::eventFilter(watched, event);
    if (auto* e = qobject_cast<QLineEdit*>(watched); e && focusChange) {
        for (const Binding& b : bindings_) {
            if (b.widget == e)
                showColour(e, b.field, focusIn);
        }
    }
    if (auto* e = qobject_cast<QLineEdit*>(watched); e && event->type() == QEvent::KeyPress) {
        // Enter goes on to the next field, as Tab does.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(e, &tab);
            return true;
        }
    }
    if (auto* t = qobject_cast<QPlainTextEdit*>(watched)) {
        if (focusChange)
            textFocus(t, focusIn);
        if (event->type() == QEvent::KeyPress)
            insertLineMark(*t, *event);
    }
    return QWidget::eventFilter(watched, event);
}

void MaskPageView::store(const QString& field, const QString& value)
{
    // A refusal box takes the focus and so ends the editing a second time.
    if (refreshing_ || storing_ || table_.value(field) == value)
        return;
    storing_ = true;
    table_.setValue(field, value);
    storing_ = false;
    refresh();
}

void MaskPageView::rebuild(const ColumnDescription& columns, const QStringList& graduationCodes)
{
    bindings_.clear();
    QLayout* old = content_->layout();
    while (QLayoutItem* item = old->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    auto* v = static_cast<QVBoxLayout*>(old);
    const zedora::MaskPage& m = columns.mask;

    auto* kopf = new QFrame(content_);
    kopf->setObjectName(QStringLiteral("kopfpanel"));
    kopf->setAutoFillBackground(true);
    auto* kl = new QGridLayout(kopf);
    int col = 0;
    const auto pair = [&](const QString& caption, const QString& field) {
        kl->addWidget(new QLabel(caption, kopf), 0, col);
        QWidget* box = lineBox(field, field, 3);
        box->setParent(kopf);
        kl->addWidget(box, 1, col++);
    };
    if (m.absence1) {
        pair(QStringLiteral("Versäumte Tage 1. Hj."), QStringLiteral("VS1"));
        pair(QStringLiteral("davon unentschuldigt"), QStringLiteral("UE1"));
    }
    if (m.absence12) {
        pair(QStringLiteral("Versäumte Tage 1.+2. Hj."), QStringLiteral("VS12"));
        pair(QStringLiteral("davon unentschuldigt"), QStringLiteral("UE12"));
    }
    for (int i = 0; i < 4; ++i) {
        if (m.codes[size_t(i)])
            pair(m.codes[size_t(i)]->trimmed(), QStringLiteral("K%1").arg(i + 1));
    }
    kl->setColumnStretch(col, 1);
    v->addWidget(kopf);

    auto* pfl = new QGroupBox(QStringLiteral("Noten"), content_);
    pfl->setObjectName(QStringLiteral("PFL"));
    auto* gl = new QGridLayout(pfl);
    for (size_t i = 0; i < m.grades.size() && i < size_t(kMaskGradeSlots); ++i) {
        const int r = int(i % 8);
        const int c = int(i / 8) * 2;
        gl->addWidget(new QLabel(m.grades[i].label.trimmed(), pfl), r, c);
        QWidget* box = lineBox(QStringLiteral("n%1").arg(int(i) + 1, 2, 10, QLatin1Char('0')),
                               m.grades[i].field, 2);
        box->setParent(pfl);
        gl->addWidget(box, r, c + 1);
    }
    int row = 8;
    for (int i = 0; i < 3; ++i) {
        if (!m.averages[size_t(i)])
            continue;
        gl->addWidget(new QLabel(QStringLiteral("DS - %1:").arg(i + 1), pfl), row, 0);
        QWidget* box = lineBox(QStringLiteral("DS%1").arg(i + 1), QStringLiteral("D%1").arg(i + 1), 6, true);
        box->setParent(pfl);
        gl->addWidget(box, row++, 1);
    }
    if (m.graduation) {
        gl->addWidget(new QLabel(QStringLiteral("Abschluss:"), pfl), row, 0);
        auto* combo = new QComboBox(pfl);
        combo->setObjectName(QStringLiteral("abschlussbox"));
        combo->addItems(graduationCodes);
        combo->setMaximumWidth(360);
        connect(combo, &QComboBox::activated, this, [this, combo] {
            store(QStringLiteral("ABSCH"), combo->currentText().left(4).trimmed());
        });
        bindings_.push_back({combo, QStringLiteral("ABSCH")});
        gl->addWidget(combo, row++, 1, 1, 3);
    }
    // Columns stay together at the left; the rest of the width stays free.
    gl->setColumnStretch(6, 1);
    for (int c = 0; c < 6; c += 2)
        gl->setColumnMinimumWidth(c + 1, 56);
    v->addWidget(pfl);

    auto* wpf = new QGroupBox(QStringLiteral("Kurse"), content_);
    wpf->setObjectName(QStringLiteral("WPF"));
    auto* wl = new QGridLayout(wpf);
    bool anyCourse = false;
    for (int i = 0; i < 4; ++i) {
        const struct {
            bool name, grade;
            const char *nameField, *gradeField;
        } kinds[] = {{m.electiveNames[size_t(i)], m.electiveGrades[size_t(i)], "WPK%1", "WP%1"},
                     {m.optionalNames[size_t(i)], m.optionalGrades[size_t(i)], "WFK%1", "WF%1"}};
        for (int k = 0; k < 2; ++k) {
            if (kinds[k].name) {
                QWidget* box = lineBox(QString::fromLatin1(kinds[k].nameField).arg(i + 1),
                                       QString::fromLatin1(kinds[k].nameField).arg(i + 1), 25);
                box->setParent(wpf);
                wl->addWidget(box, i, k * 2);
                anyCourse = true;
            }
            if (kinds[k].grade) {
                QWidget* box = lineBox(QString::fromLatin1(kinds[k].gradeField).arg(i + 1),
                                       QString::fromLatin1(kinds[k].gradeField).arg(i + 1), 2);
                box->setParent(wpf);
                wl->addWidget(box, i, k * 2 + 1);
                anyCourse = true;
            }
        }
    }
    wpf->setVisible(anyCourse);
    v->addWidget(wpf);

    for (size_t i = 0; i < m.freeTexts.size(); ++i) {
        auto* box = new QGroupBox(m.freeTexts[i].label.trimmed(), content_);
        auto* bl = new QVBoxLayout(box);
        QWidget* e = lineBox(QStringLiteral("frei%1").arg(int(i) + 1), m.freeTexts[i].field, 60);
        e->setParent(box);
        bl->addWidget(e);
        v->addWidget(box);
    }
    for (size_t i = 0; i < m.texts.size() && i < size_t(kMaskTextSlots); ++i) {
        auto* box = new QGroupBox(m.texts[i].label, content_);
        auto* bl = new QVBoxLayout(box);
        auto* hint = new QLabel(box);
        hint->setObjectName(QStringLiteral("t%1hinweis").arg(int(i) + 1));
        bl->addWidget(hint);
        QPlainTextEdit* t = textBox(QStringLiteral("t%1").arg(int(i) + 1), m.texts[i].field);
        t->setParent(box);
        bindings_.back().hint = hint;
        bl->addWidget(t);
        v->addWidget(box);
    }
    v->addStretch(1);
    refresh();
}

void MaskPageView::refresh()
{
    refreshing_ = true;
    for (const Binding& b : bindings_) {
        const QString value = table_.value(b.field);
        const bool readOnly = table_.isReadOnly(table_.findField(b.field));
        if (auto* e = qobject_cast<QLineEdit*>(b.widget)) {
            if (e->text() != value)
                e->setText(value);
            showColour(e, b.field, e->hasFocus());
            if (!b.field.startsWith(QLatin1Char('D')) || b.field.size() != 2)
                e->setReadOnly(readOnly);
        } else if (auto* t = qobject_cast<QPlainTextEdit*>(b.widget)) {
            QString shown = value;
            shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            if (t->toPlainText() != shown) {
                const QSignalBlocker block(t);
                t->setPlainText(shown);
            }
            t->setReadOnly(readOnly);
        } else if (auto* c = qobject_cast<QComboBox*>(b.widget)) {
            const int index = c->findText(value.trimmed(), Qt::MatchStartsWith);
            c->setCurrentIndex(value.trimmed().isEmpty() ? 0 : index);
            c->setEnabled(!readOnly);
        }
    }
    refreshing_ = false;
}

} // namespace zedora
