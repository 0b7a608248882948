#include "base/ui/qt_interaction.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QEvent>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QListView>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <QTreeView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace zedora {

bool installQtTranslations(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

namespace {

// Size, type and date get what their texts need; the name column takes the
// rest of the view, and never less than a long file name. Done whenever the
// view changes its size, so also when the dialog first shows.
class FileColumnFitter : public QObject {
public:
    explicit FileColumnFitter(QTreeView* tree) : QObject(tree), tree_(tree) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize && watched == tree_->viewport())
            fit();
        return false;
    }

private:
    void fit()
    {
        QHeaderView* header = tree_->header();
        header->setStretchLastSection(false);
        const QFontMetrics fm(tree_->font());
        const int pad = fm.horizontalAdvance(QStringLiteral("MM"));
        const QString samples[] = {QString(), QStringLiteral("999,9 KiB"), QStringLiteral("pdf-Datei"),
                                   QStringLiteral("31.12.26 23:59")};
        int others = 0;
        for (int i = 1; i < 4 && i < header->count(); ++i) {
            header->resizeSection(i, std::max(header->sectionSizeHint(i), fm.horizontalAdvance(samples[i]) + pad));
            others += header->sectionSize(i);
        }
        const int minimum = fm.horizontalAdvance(QStringLiteral("Zeugnisse-10b-2013-2014.pdf")) + 3 * pad;
        header->resizeSection(0, std::max(minimum, tree_->viewport()->width() - others - 1));
    }

    QTreeView* tree_;
};

} // namespace

void sizeFileDialog(QFileDialog& dlg)
{
    // Qt's own dialog: German through the translations, and sizeable here.
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setViewMode(QFileDialog::Detail);
    QSize size(900, 560);
    const QScreen* screen = dlg.parentWidget() ? dlg.parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QSize avail = screen->availableGeometry().size() * 0.9;
        size = size.boundedTo(avail).expandedTo(QSize(480, 320));
    }
    dlg.resize(size);
    if (auto* tree = dlg.findChild<QTreeView*>(QStringLiteral("treeView")))
        tree->viewport()->installEventFilter(new FileColumnFitter(tree));
    if (auto* list = dlg.findChild<QListView*>(QStringLiteral("listView")))
        list->setWordWrap(false);
}

QString qtFileFilter(const QString& filter)
{
    if (!filter.contains(u'|'))
        return filter;
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString named =
            QStringLiteral("(") + parts[i + 1].split(u';', Qt::SkipEmptyParts).join(u' ').trimmed() + u')';
        // "Seriendruckdateien (*.doc)|*.doc" names its pattern already.
        out << (description.endsWith(named) ? description : description + u' ' + named);
    }
    return out.join(QStringLiteral(";;"));
}

namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
             const QString& button = QStringLiteral("OK"))
{
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    box.addButton(button, QMessageBox::AcceptRole);
    box.exec();
}

std::optional<QString> runFileDialog(QFileDialog& dlg)
{
    sizeFileDialog(dlg);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    const QString f = dlg.selectedFiles().value(0);
    if (f.isEmpty())
        return std::nullopt;
    return f;
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
    QFileDialog dlg(parent_, title, startPath(dir, preset), qtFileFilter(filter));
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    if (!preset.isEmpty())
        dlg.selectFile(startPath(dir, preset));
    return runFileDialog(dlg);
}

std::optional<QString> QtInteraction::saveFile(const QString& title, const QString& filter,
                                               const QString& dir, const QString& preset)
{
    QFileDialog dlg(parent_, title, startPath(dir, preset), qtFileFilter(filter));
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    if (!preset.isEmpty())
        dlg.selectFile(startPath(dir, preset));
    return runFileDialog(dlg);
}

std::optional<QString> QtInteraction::chooseFolder(const QString& title, const QString& dir)
{
    QFileDialog dlg(parent_, title, dir);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    return runFileDialog(dlg);
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
