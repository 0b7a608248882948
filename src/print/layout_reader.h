#pragma once
// The print-time reader: turns the current layout text into the print model.
// It recognises keys by their first letters, so hand-edited files with odd
// spellings still print.
#include "print/layout_model.h"

#include <QString>
#include <QStringList>

namespace zedora {

class Interaction;

// False when no file exists at layoutPath (the model is left untouched).
// Otherwise clears the model and fills it from layoutText. Picture paths:
// a bare file name gets the layout's folder put in front; a relative path
// with a folder (MUSTER\RASTER1.JPG) is taken from workspaceDir when one is
// given; absolute paths and "%SCHFOTO%" stay. ui (optional) shows the wait
// cursor while parsing.
bool parseLayoutForPrinting(const QString& layoutPath, const QStringList& layoutText,
                            TDruckLayout& model, Interaction* ui = nullptr,
                            const QString& workspaceDir = {});

// The same, from text alone: no file check, bare picture names get pictureFolder.
void parseLayoutText(const QStringList& layoutText, const QString& pictureFolder,
                     TDruckLayout& model, const QString& workspaceDir = {});

// Sheet size in tenths of a millimetre for the paper and orientation flags.
int sheetWidth(bool a4, bool landscape);
int sheetHeight(bool a4, bool landscape);

} // namespace zedora
