#include "entry/ui/master_data_page.h"

#include "entry/ui/field_entry.h"
#include "core/settings.h"
#include "base/interaction.h"
#include "data/student_identity.h"
#include "data/student_schema.h"
#include "data/student_table.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zedora {

namespace {

const QColor kEnteredColour(255, 255, 128);

QString trimmedRight(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1).isSpace())
        --n;
    return s.left(n);
}

struct FieldRow {
    const char* caption; // UTF-8
    const char* field;
    int width;           // characters shown
};

// Left and right half of the form, row by row; an empty field leaves the cell free.
constexpr FieldRow kLeft[] = {
    {"Name", "NAME", 30},
    {"Vorname(n)", "VORNAME", 30},
    {"Straße", "STRASSE", 30},
    {"Plz", "PLZ", 6},
    {"Wohnort", "ORT", 30},
    {"Elternanrede 1", "ANR1", 30},
    {"Elternanrede 2", "ANR2", 30},
    {"Zusätzliches Feld 1", "STAMMF1", 30},
    {"AG - 1", "AG1", 20},
    {"AG - 2", "AG2", 20},
    {"AG - 3", "AG3", 20},
    {"Förder 1", "FOE1", 20},
    {"Förder 2", "FOE2", 20},
};
constexpr FieldRow kRight[] = {
    {"Telefon", "TELEFON", 20},
    {"Staatsangehörigkeit", "STAATS", 20},
    {"Geburtsort", "GEBORT", 20},
    {"Geburtsdatum", "GEBOREN", 10},
    {"Geschlecht", "MW", 2},
    {"Klasse", "KLASSE", 10},
    {"Konfession", "KONF", 10},
    {"Zusätzliches Feld 2", "STAMMF2", 30},
    {"WPf-Kurs 1", "WPK1", 20},
    {"WPf-Kurs 2", "WPK2", 20},
    {"WPf-Kurs 3", "WPK3", 20},
    {"WPf-Kurs 4", "WPK4", 20},
    {"KDe", "KD", 4},
    {"KMa", "KM", 4},
    {"KEn", "KE", 4},
    {"KNw", "KX", 4},
};

bool isCourseField(const QString& field)
{
    return field.startsWith(QLatin1String("AG")) || field.startsWith(QLatin1String("WPK"))
        || field.startsWith(QLatin1String("FOE"))
        || (field.size() == 2 && field.startsWith(QLatin1Char('K')));  // KD, KM, KE, KX
}

} // namespace

MasterDataPage::MasterDataPage(StudentTable& table, const Settings& settings, Interaction& ui,
                               QWidget* page)
    : QWidget(page), table_(table), settings_(settings), ui_(ui)
{
    setObjectName(QStringLiteral("Stammdaten"));
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(this);

    auto* l = new QGridLayout(this);
    l->setContentsMargins(8, 8, 8, 8);
    l->setHorizontalSpacing(6);
    const int rows = int(std::max(std::size(kLeft), std::size(kRight)));
    const auto place = [&](const FieldRow* list, int count, int column) {
        for (int r = 0; r < count; ++r) {
            auto* caption = new QLabel(QString::fromUtf8(list[r].caption), this);
            QLineEdit* e = addField(QLatin1String(list[r].field), list[r].width);
            caption->setBuddy(e);
            l->addWidget(caption, r, column);
            l->addWidget(e, r, column + 1, Qt::AlignLeft);
            if (e->objectName() == QLatin1String("mw"))
                sexCaption_ = caption;
            if (e->objectName() == QLatin1String("stammf1") || e->objectName() == QLatin1String("stammf2")) {
                caption->setObjectName(QStringLiteral("Label") + e->objectName());
                freeCaptions_.append(caption);
            }
        }
    };
    place(kLeft, int(std::size(kLeft)), 0);
    place(kRight, int(std::size(kRight)), 2);
    l->setRowStretch(rows, 1);
    l->setColumnStretch(4, 1);

    buttons_ = new QWidget(this);
    auto* b = new QGridLayout(buttons_);
    b->setContentsMargins(0, 0, 0, 0);
    const auto button = [this](const char* name, const QString& text) {
        auto* p = new QPushButton(text, buttons_);
        p->setObjectName(QLatin1String(name));
        p->setFocusPolicy(Qt::TabFocus);
        p->setMinimumWidth(p->sizeHint().width());
        return p;
    };
    stEin_ = button("StEin", QStringLiteral("Editieren ein"));
    stAus_ = button("StAus", QStringLiteral("Editieren aus"));
    check_ = button("check", QStringLiteral("\u2714"));
    check_->setEnabled(false);
    check_->setFixedWidth(28);
    btnNeu_ = button("btnNeu", QStringLiteral("Neu"));
    btnloe_ = button("btnloe", QStringLiteral("Löschen"));
    b->addWidget(stEin_, 0, 1);
    b->addWidget(stAus_, 1, 1);
    b->setRowMinimumHeight(2, 16);
    b->addWidget(btnNeu_, 3, 1);
    b->addWidget(btnloe_, 4, 1);
    b->setColumnMinimumWidth(0, 28);
    l->addWidget(buttons_, 0, 5, 6, 1, Qt::AlignTop);

    connect(&table_, &StudentTable::currentRowChanged, this, [this] { showCurrent(); });
    connect(&table_, &StudentTable::rowChanged, this, [this](int row) {
        if (row == table_.currentRow())
            showCurrent();
    });
    connect(&table_, &StudentTable::rowsReset, this, [this] { showCurrent(); });
    setEditing(false);
    updateFreeFieldCaptions();
}

void MasterDataPage::updateFreeFieldCaptions()
{
    // The two free fields are captioned with the source field they are
    // imported from; without one they keep their plain caption.
    const QString names[] = {settings_.FreiFeld1.trimmed(), settings_.FreiFeld2.trimmed()};
    for (qsizetype i = 0; i < freeCaptions_.size() && i < 2; ++i)
        freeCaptions_[i]->setText(names[i].isEmpty() ? QStringLiteral("Zusätzliches Feld %1").arg(i + 1) : names[i]);
}

QLineEdit* MasterDataPage::addField(const QString& field, int width)
{
    auto* e = new QLineEdit(this);
    // The field name in lower case, as the checks on leaving know them.
    e->setObjectName(field.toLower());
    // Wide enough for a typical entry; longer ones scroll within the box.
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('n')) * std::clamp(width, 3, 24) + 16);
    e->installEventFilter(this);
    edits_.insert(field, e);
    (isCourseField(field) ? courses_ : personal_).append(field);
    // Checked fields take their value when the field is left, so that a
    // half-typed abbreviation is not refused on every key.
    // The sex letter is kept in lower case, as the settings' letters are.
    if (field == QLatin1String("MW"))
        connect(e, &QLineEdit::textEdited, e, [e](const QString& text) {
            if (text != text.toLower()) {
                const int at = e->cursorPosition();
                e->setText(text.toLower());
                e->setCursorPosition(at);
            }
        });
    if (changeCheck(field) == ChangeCheck::None)
        connect(e, &QLineEdit::textEdited, this, [this, e] { write(e); });
    connect(e, &QLineEdit::editingFinished, this, [this, e] { write(e); });
    return e;
}

QList<QWidget*> MasterDataPage::personalFields() const
{
    QList<QWidget*> list;
    for (const QString& f : personal_)
        list.append(edit(f));
    return list;
}

QList<QWidget*> MasterDataPage::courseFields() const
{
    QList<QWidget*> list;
    for (const QString& f : courses_)
        list.append(edit(f));
    return list;
}

QString MasterDataPage::fieldOf(const QObject* e) const
{
    for (auto it = edits_.begin(); it != edits_.end(); ++it) {
        if (it.value() == e)
            return it.key();
    }
    return {};
}

void MasterDataPage::write(QLineEdit* e)
{
    if (showing_ || e->isReadOnly())
        return;
    const QString field = fieldOf(e);
    const int index = table_.findField(field);
    if (index < 0 || (table_.currentRow() < 0 && table_.state() != StudentTable::State::Insert))
        return;
    if (trimmedRight(table_.value(index)) == trimmedRight(e->text()))
        return;
    // A refusal box takes the focus and so ends the editing a second time.
    if (writing_)
        return;
    writing_ = true;
    if (!table_.setValue(index, e->text()))
        showCurrent(); // refused: show what is stored
    writing_ = false;
}

void MasterDataPage::showCurrent()
{
    showing_ = true;
    const bool hasRecord = table_.isOpen()
        && (table_.currentRow() >= 0 || table_.state() == StudentTable::State::Insert);
    for (auto it = edits_.begin(); it != edits_.end(); ++it) {
        QLineEdit* e = it.value();
        const int index = table_.isOpen() ? table_.findField(it.key()) : -1;
        const QString value = hasRecord && index >= 0 ? trimmedRight(table_.value(index)) : QString();
        if (trimmedRight(e->text()) != value) {
            e->setText(value);
            if (!e->hasFocus())
                e->setCursorPosition(0); // show the start of a long value
        }
        e->setEnabled(index >= 0);
        e->setReadOnly(!editing_ || !hasRecord || index < 0 || table_.isReadOnly(index));
    }
    showing_ = false;
}

void MasterDataPage::setEditing(bool on)
{
    editing_ = on;
    btnNeu_->setEnabled(on);
    btnloe_->setEnabled(on);
    placeMarker();
    showCurrent();
}

void MasterDataPage::placeMarker()
{
    auto* b = static_cast<QGridLayout*>(buttons_->layout());
    b->removeWidget(check_);
    b->addWidget(check_, editing_ ? 0 : 1, 0);
}

void MasterDataPage::updateSexCaption()
{
    if (sexCaption_)
        sexCaption_->setText(settings_.Weiblich + QStringLiteral("=weib. ") + settings_.Maennlich
                             + QStringLiteral("=män."));
}

void MasterDataPage::showEvent(QShowEvent* event)
{
    updateFreeFieldCaptions();
    showCurrent();
    QWidget::showEvent(event);
}

bool MasterDataPage::eventFilter(QObject* watched, QEvent* event)
{
    auto* e = qobject_cast<QLineEdit*>(watched);
    if (!e)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (editing_) {
            QPalette p = e->palette();
            p.setColor(QPalette::Base, kEnteredColour);
            e->setPalette(p);
        }
        break;
    case QEvent::FocusOut:
        e->setPalette(QPalette());
        if (endsOrBeginsEntry(*event))
            fieldLeft(e);
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
            break;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            write(e);
            focusNextChild();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            table_.cancel();
            showCurrent();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void MasterDataPage::fieldLeft(QLineEdit* e)
{
    write(e);
    // Nothing to correct in a field the user cannot change.
    if (e->isReadOnly())
        return;
    const QString value = e->text().trimmed();
    if (e->objectName() == QLatin1String("mw")) {
        const QString typed = value.left(std::max(1, settings_.VglLaenge)).toUpper();
        if (typed != settings_.Maennlich.toUpper() && typed != settings_.Weiblich.toUpper())
            ui_.warning(QStringLiteral("Geschlecht muss als ") + settings_.Weiblich
                        + QStringLiteral("=weiblich bzw. ") + settings_.Maennlich
                        + QStringLiteral("=männlich\neingegeben werden (siehe Voreinstellungen!)\n"));
    } else if (e->objectName() == QLatin1String("geboren")) {
        const QString date = value.left(50);
        if (!normalBirthDate(date))
            ui_.warning(QStringLiteral("Das Datum ") + date
                        + QStringLiteral(" hat ein unzulässiges Format (Richtig: tt.mm.jjjj)\n"));
    }
}

} // namespace zedora
