#include "app/ui/settings_dialog_widgets.h"

#include "core/settings.h"
#include "base/interaction.h"
#include "entry/storable_text.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTableWidget>

namespace zedora {

ColourPanel::ColourPanel(const QString& objectName, Interaction& ui, QWidget* parent)
    : QLabel(parent), ui_(ui)
{
    setObjectName(objectName);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setMinimumSize(72, 26);
    setColourValue(0);
}

void ColourPanel::setColourValue(int value)
{
    value_ = value;
    QPalette p = palette();
    const QColor c = windowsColour(value);
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::WindowText, c.lightness() < 110 ? Qt::white : Qt::black);
    setPalette(p);
    update();
}

void ColourPanel::chooseColour()
{
    if (const auto chosen = ui_.chooseColour(windowsColour(value_))) {
        setColourValue(windowsColourValue(*chosen));
        emit colourChanged(value_);
    }
}

void ColourPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        chooseColour();
        return;
    }
    QLabel::mousePressEvent(event);
}

void ColourPanel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        chooseColour();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ColourPanel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = contentsRect().adjusted(2, 2, -2, -2);
    option.backgroundColor = windowsColour(value_);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    // Focus frames of some styles are faint on a coloured ground.
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(option.rect.adjusted(0, 0, -1, -1));
}

// ---- form keys

namespace {

constexpr int kFocusYellow = 65535;

bool isEditField(QObject* o)
{
    return qobject_cast<QLineEdit*>(o) || qobject_cast<QAbstractSpinBox*>(o);
}

bool movesOnWithEnter(QObject* o)
{
    if (qobject_cast<QPushButton*>(o))
        return true;
    return isEditField(o) || qobject_cast<QComboBox*>(o) || qobject_cast<QCheckBox*>(o)
           || qobject_cast<QRadioButton*>(o) || qobject_cast<ColourPanel*>(o);
}

} // namespace

FormKeys::FormKeys(QWidget& window) : QObject(&window), window_(window)
{
}

void FormKeys::attachAll()
{
    for (QWidget* w : window_.findChildren<QWidget*>()) {
        // No default button: Enter in a list or grid must not press one.
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            b->setAutoDefault(false);
            b->setDefault(false);
        }
        // The line edit inside a spin box or an editable combo belongs to its owner.
        if (qobject_cast<QLineEdit*>(w)
            && (qobject_cast<QAbstractSpinBox*>(w->parent()) || qobject_cast<QComboBox*>(w->parent())))
            continue;
        if (movesOnWithEnter(w))
            w->installEventFilter(this);
    }
}

bool FormKeys::eventFilter(QObject* watched, QEvent* event)
{
    auto* w = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (w && isEditField(w)) {
            QPalette p = w->palette();
            p.setColor(QPalette::Base, windowsColour(kFocusYellow));
            w->setPalette(p);
        }
        break;
    case QEvent::FocusOut:
        if (w && isEditField(w)) {
            QPalette p = w->palette();
            p.setColor(QPalette::Base, window_.palette().color(QPalette::Base));
            w->setPalette(p);
        }
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && !(key->modifiers() & ~Qt::KeypadModifier)) {
            if (auto* b = qobject_cast<QPushButton*>(watched)) {
                b->click();
                return true;
            }
            if (auto* panel = qobject_cast<ColourPanel*>(watched)) {
                panel->chooseColour();
                return true;
            }
            if (auto* combo = qobject_cast<QComboBox*>(watched); combo && combo->view()->isVisible())
                break;
            // Tab, so that each control leaves the way it does with the key.
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QCoreApplication::sendEvent(watched, &tab);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// ---- characters the files cannot hold

void refuseUnstorableInput(QLineEdit& field, Interaction& ui)
{
    QObject::connect(&field, &QLineEdit::textEdited, &field, [&field, &ui](const QString& text) {
        if (isStorable(text))
            return;
        const int cursor = field.cursorPosition();
        const QString kept = storablePart(text);
        field.setText(kept);
        field.setCursorPosition(qMin(int(kept.size()), cursor - int(text.size() - kept.size())));
        ui.warning(unstorableCharactersText());
    });
}

void refuseUnstorableInput(QTableWidget& grid, Interaction& ui, const QString& forbidden,
                           const QString& forbiddenMessage)
{
    QObject::connect(&grid, &QTableWidget::itemChanged, &grid,
                     [&ui, forbidden, forbiddenMessage](QTableWidgetItem* item) {
        const QString text = item->text();
        QString kept = storablePart(text);
        const bool unstorable = kept.size() != text.size();
        bool refused = false;
        for (QChar c : forbidden) {
            if (kept.contains(c)) {
                refused = true;
                kept.remove(c);
            }
        }
        if (!unstorable && !refused)
            return;
        {
            QSignalBlocker block(item->tableWidget());
            item->setText(kept);
        }
        if (unstorable)
            ui.warning(unstorableCharactersText());
        if (refused)
            ui.warning(forbiddenMessage);
    });
}

} // namespace zedora
