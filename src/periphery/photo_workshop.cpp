#include "periphery/photo_workshop.h"

#include "base/created_files_register.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/workspace_files.h"
#include "periphery/photo_pictures.h"

#include <QDir>
#include <QFileInfo>

namespace zedora {

bool PhotoWorkshop::confirm(int count, const QString& verb, bool deleting)
{
    if (count <= 0) {
        ui_.info(QStringLiteral("Es ist kein Bild gewählt!"));
        return false;
    }
    if (count == 1) {
        if (!deleting)
            return true;
        return ui_.ask(QStringLiteral("Sollen das gewählte Bild\n\nwirklich gelöscht werden"),
                       Buttons::YesNoCancel) == Answer::Yes;
    }
    return ui_.ask(QStringLiteral("Sollen die gewählten ") + QString::number(count) + QStringLiteral(" Bilder\n\n")
                       + QStringLiteral("wirklich ") + verb + QStringLiteral(" werden"),
                   Buttons::YesNoCancel) == Answer::Yes;
}

void PhotoWorkshop::reportProblems()
{
    if (problems_.isEmpty())
        return;
    ui_.warning(problems_.join(QStringLiteral("\n\n")));
    problems_.clear();
}

namespace {

QString withSuffix(const QString& path, const char* suffix)
{
    const QFileInfo info(path);
    return info.dir().filePath(info.completeBaseName() + QLatin1String(suffix));
}

QString notWritten(const QString& path)
{
    return QStringLiteral("Die Bilddatei\n") + QFileInfo(path).fileName()
           + QStringLiteral("\nkonnte nicht geschrieben werden!");
}

} // namespace

bool PhotoWorkshop::convert(const QStringList& paths, bool toBitmap)
{
    if (!confirm(int(paths.size()), QStringLiteral("umgewandelt")))
        return false;
    BusyScope busy(ui_);
    for (const QString& path : paths) {
        const PictureKind kind = pictureKind(path);
        if (toBitmap && kind != PictureKind::Jpeg) {
            ui_.info(QStringLiteral("Konvertierung nicht möglich: Keine JPG-Datei!"));
            continue;
        }
        if (!toBitmap && kind != PictureKind::Bitmap) {
            ui_.info(QStringLiteral("Konvertierung nicht möglich: Keine BMP-Datei"));
            continue;
        }
        const QString target = resolvePath(withSuffix(path, toBitmap ? ".bmp" : ".jpg"));
        if (QFileInfo::exists(target)) {
            ui_.info((toBitmap ? QStringLiteral("Konvertierung nicht möglich:\n\n")
                               : QStringLiteral("Konvertierung nicht möglich: \n\n"))
                     + QFileInfo(target).fileName() + QStringLiteral("  existiert bereits!"));
            continue;
        }
        const PictureRead read = readPictureForEditing(path);
        if (!read.ok()) {
            problems_ << read.error;
            continue;
        }
        const bool written = toBitmap ? writeBitmap(read.image, target) : writeJpeg(read.image, target, 90);
        if (!written) {
            problems_ << notWritten(target);
            continue;
        }
        files_.createdFiles().registerFile(target);
    }
    reportProblems();
    return true;
}

bool PhotoWorkshop::convertToBitmap(const QStringList& paths)
{
    return convert(paths, true);
}

bool PhotoWorkshop::convertToJpeg(const QStringList& paths)
{
    return convert(paths, false);
}

bool PhotoWorkshop::turn(const QStringList& paths, bool clockwise)
{
    if (!confirm(int(paths.size()), QStringLiteral("gedreht")))
        return false;
    BusyScope busy(ui_);
    for (const QString& path : paths) {
        const PictureKind kind = pictureKind(path);
        if (kind == PictureKind::Other)
            continue;
        const PictureRead read = readPictureForEditing(path);
        if (!read.ok()) {
            problems_ << read.error;
            continue;
        }
        QImage image = turnQuarterClockwise(read.image);
        if (!clockwise)
            image = turnQuarterClockwise(turnQuarterClockwise(image));
        // The turned picture replaces the file in one step, so a picture is
        // never lost half written; no shared temporary folder is needed.
        if (!writePicture(image, path, kind)) {
            problems_ << notWritten(path);
            continue;
        }
        lastSize_ = image.size();
    }
    reportProblems();
    return true;
}

bool PhotoWorkshop::resize(const QStringList& paths)
{
    const std::optional<QString> text =
        ui_.input(QStringLiteral("Neue Bildbreite in Pixel "), QStringLiteral("Breite: "), QStringLiteral("300"));
    if (!text)
        return false;
    bool number = false;
    int width = text->trimmed().toInt(&number);
    if (!number)
        width = 0;
    if (width < 50) {
        ui_.info(QStringLiteral("Breite muss größer als 50 sein!"));
        return false;
    }
    if (!confirm(int(paths.size()), QStringLiteral("in der Breite verändert")))
        return false;
    BusyScope busy(ui_);
    for (const QString& path : paths) {
        const PictureKind kind = pictureKind(path);
        if (kind == PictureKind::Other) {
            ui_.info(QStringLiteral("Diese Grafik-Format lässt sich nicht in der Größe ändern!"));
            continue;
        }
        const PictureRead read = readPictureForEditing(path);
        if (!read.ok()) {
            problems_ << read.error;
            continue;
        }
        const int height = resizedHeight(read.image.width(), read.image.height(), width);
        if (height <= 0 || qint64(width) * height > kMaxEditPixels) {
            problems_ << QStringLiteral("Die Bilddatei\n") + QFileInfo(path).fileName()
                             + QStringLiteral("\nlässt sich nicht auf diese Breite bringen!");
            continue;
        }
        const QImage scaled =
            read.image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!writePicture(scaled, path, kind)) {
            problems_ << notWritten(path);
            continue;
        }
        lastSize_ = scaled.size();
    }
    reportProblems();
    return true;
}

bool PhotoWorkshop::deleteSources(const QStringList& paths)
{
    if (!confirm(int(paths.size()), QStringLiteral("gelöscht"), true))
        return false;
    for (const QString& path : paths)
        files_.deleteFile(path);
    return true;
}

QString PhotoWorkshop::transfer(const QStringList& selectedSources, const QString& folder, const QString& cell)
{
    if (folder.trimmed().isEmpty() || !QFileInfo(resolvePath(folder)).isDir()) {
        ui_.info(QStringLiteral("Zielverzeichnis nicht vorhanden!"));
        return {};
    }
    if (selectedSources.size() != 1) {
        ui_.info(QStringLiteral("Zur Übertragung bitte nur ein Foto auswählen!"));
        return {};
    }
    const QString source = selectedSources.first();
    const QString base = QFileInfo(cell.trimmed()).completeBaseName().trimmed().left(20);
    if (base.isEmpty())
        return {};
    const QString extension = (QLatin1Char('.') + QFileInfo(source).suffix()).left(10);
    const QString newCell = base + extension;
    if (!files_.copyFile(source, joinPath(folder, newCell)))
        return {};
    return newCell;
}

int PhotoWorkshop::copyAll(const QString& folder, const QStringList& cells, const QString& workspace)
{
    const std::optional<QString> chosen =
        ui_.saveFile(QStringLiteral("Bilddateien kopieren nach ..."),
                     QStringLiteral("Bilddateien (*.BMP *.JPG *.bmp *.jpg)"), workspace,
                     cells.isEmpty() ? QString() : cells.first());
    if (!chosen)
        return -1;
    const QString target = QFileInfo(*chosen).absolutePath();
    int copied = 0;
    BusyScope busy(ui_);
    for (const QString& cell : cells) {
        const QString source = resolvePath(joinPath(folder, cell));
        if (!QFileInfo(source).isFile())
            continue;
        if (files_.copyFile(source, joinPath(target, cell)))
            ++copied;
    }
    ui_.info(QString::number(copied) + QStringLiteral(" Bilder wurden kopiert!"));
    return copied;
}

QString PhotoWorkshop::deleteStudentPhoto(const QString& folder, const QString& cell)
{
    const QString path = resolvePath(joinPath(folder, cell));
    if (cell.trimmed().isEmpty() || !QFileInfo(path).isFile()) {
        ui_.info(QStringLiteral("Datei eh nicht vorhanden!"));
        return cell;
    }
    if (ui_.ask(QStringLiteral("Soll ") + folder + cell + QStringLiteral("\n\n")
                    + QStringLiteral(" gelöscht werden?"),
                Buttons::YesNoCancel) != Answer::Yes)
        return cell;
    files_.deleteFile(path);
    if (QFileInfo::exists(path))
        return cell;
    return QFileInfo(cell).completeBaseName();
}

} // namespace zedora
