#include "base/ui/qt_interaction.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace zedora {
namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
             const QString& button = QStringLiteral("OK"))
{
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    box.addButton(button, QMessageBox::AcceptRole);
    box.exec();
}

QString startPath(const QString& dir, const QString& preset)
{
    if (preset.isEmpty())
        return dir;
    return dir.isEmpty() ? preset : QDir(dir).filePath(preset);
}

} // namespace

void QtInteraction::info(const QString& text)
{
    showBox(parent_, QMessageBox::Information, QStringLiteral("Informationen"), text);
}

void QtInteraction::warning(const QString& text)
{
    showBox(parent_, QMessageBox::Warning, QStringLiteral("Warnung"), text + QLatin1Char('\n'));
}

void QtInteraction::error(const QString& text)
{
    showBox(parent_, QMessageBox::Critical, QStringLiteral("Fehler"), text + QLatin1Char('\n'));
}

void QtInteraction::refusal(const QString& text)
{
    showBox(parent_, QMessageBox::Critical, QStringLiteral("Fehler"), text + QLatin1Char('\n'),
            QStringLiteral("Abbrechen"));
}

Answer QtInteraction::ask(const QString& text, Buttons buttons)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Bestätigen"), text, QMessageBox::NoButton,
                    parent_);
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    if (buttons == Buttons::OkCancel) {
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    } else {
        yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    }
    if (buttons != Buttons::YesNo)
        cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(yes ? yes : ok);
    box.setEscapeButton(cancel ? static_cast<QAbstractButton*>(cancel) : no);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked && clicked == yes)
        return Answer::Yes;
    if (clicked && clicked == no)
        return Answer::No;
    if (clicked && clicked == ok)
        return Answer::Ok;
    return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

std::optional<QString> QtInteraction::input(const QString& title, const QString& prompt,
                                            const QString& preset)
{
    QInputDialog dlg(parent_);
    dlg.setWindowTitle(title);
    dlg.setLabelText(prompt);
    dlg.setTextValue(preset);
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.textValue();
}

std::optional<QString> QtInteraction::password(const QString& title, const QString& prompt)
{
    QInputDialog dlg(parent_);
    dlg.setWindowTitle(title);
    dlg.setLabelText(prompt);
    dlg.setTextEchoMode(QLineEdit::Password);
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.textValue();
}

std::optional<QString> QtInteraction::openFile(const QString& title, const QString& filter,
                                               const QString& dir, const QString& preset)
{
    const QString f = QFileDialog::getOpenFileName(parent_, title, startPath(dir, preset), filter);
    if (f.isEmpty())
        return std::nullopt;
    return f;
}

std::optional<QString> QtInteraction::saveFile(const QString& title, const QString& filter,
                                               const QString& dir, const QString& preset)
{
    const QString f = QFileDialog::getSaveFileName(parent_, title, startPath(dir, preset), filter);
    if (f.isEmpty())
        return std::nullopt;
    return f;
}

std::optional<QString> QtInteraction::chooseFolder(const QString& title, const QString& dir)
{
    const QString f = QFileDialog::getExistingDirectory(parent_, title, dir);
    if (f.isEmpty())
        return std::nullopt;
    return f;
}

std::optional<QColor> QtInteraction::chooseColour(const QColor& preset)
{
    const QColor c = QColorDialog::getColor(preset, parent_, QStringLiteral("Farbe"));
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QFont> QtInteraction::chooseFont(const QFont& preset)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, preset, parent_, QStringLiteral("Schriftart"));
    if (!ok)
        return std::nullopt;
    return f;
}

void QtInteraction::beep()
{
    QApplication::beep();
}

void QtInteraction::busy(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace zedora
