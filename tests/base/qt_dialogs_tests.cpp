// Qt's standard dialogs in German, and file dialogs wide enough for their
// columns.
#include "base/ui/qt_interaction.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace zedora;

TEST(QtDialogs, StartUpTranslationMakesStandardTextsGerman)
{
    ASSERT_TRUE(installQtTranslations(*qApp)) << "qt6-translations-l10n fehlt";
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("Speichern"));

    QFileDialog dlg;
    sizeFileDialog(dlg);
    auto* lookIn = dlg.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    ASSERT_NE(lookIn, nullptr);
    EXPECT_EQ(lookIn->text(), QStringLiteral("Suchen in:"));
    // The print dialog's texts come from the same translation.
    EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("Drucken"));
    EXPECT_EQ(QCoreApplication::translate("QPrintWidget", "Printer"), QStringLiteral("Drucker"));

    for (QTranslator* t : qApp->findChildren<QTranslator*>())
        QCoreApplication::removeTranslator(t);
    EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).buttons().value(0)->text(), QStringLiteral("Cancel"));
}

TEST(QtDialogs, FileDialogShowsEveryColumnAndLongNamesWhole)
{
    QTemporaryDir dir;
    const QString longName = QStringLiteral("Zeugnisse-10b-2013-2014.pdf");
    QFile(dir.filePath(longName)).open(QIODevice::WriteOnly);
    QFileDialog dlg(nullptr, QStringLiteral("Datei öffnen"), dir.path());
    sizeFileDialog(dlg);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QTest::qWait(50);
    EXPECT_GE(dlg.width(), 480);

    auto* tree = dlg.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(tree, nullptr);
    ASSERT_TRUE(tree->isVisible());
    QHeaderView* header = tree->header();
    const QFontMetrics fm(tree->font());
    // The name column holds the long name with its icon.
    EXPECT_GT(header->sectionSize(0), fm.horizontalAdvance(longName) + 24);
    int total = 0;
    for (int i = 0; i < header->count(); ++i) {
        if (header->isSectionHidden(i))
            continue;
        // Every caption fits its column.
        const QString caption = tree->model()->headerData(i, Qt::Horizontal).toString();
        EXPECT_GE(header->sectionSize(i), fm.horizontalAdvance(caption)) << caption.toStdString();
        total += header->sectionSize(i);
    }
    // And all of them fit the view: nothing is cut off at the right.
    EXPECT_LE(total, tree->viewport()->width());
    dlg.close();
}

TEST(QtDialogs, FiltersWrittenWithABarBecomeQtFiltersThatIgnoreLetterCase)
{
    EXPECT_EQ(qtFileFilter(QStringLiteral("Archivdateien (z.B. A08-09-1.dbf)|A\?\?-\?\?-?.dbf")),
              QStringLiteral("Archivdateien (z.B. A08-09-1.dbf) (A\?\?-\?\?-?.dbf)"));
    EXPECT_EQ(qtFileFilter(QStringLiteral("Seriendruckdateien (*.doc)|*.doc")),
              QStringLiteral("Seriendruckdateien (*.doc)"));
    EXPECT_EQ(qtFileFilter(QStringLiteral("Bilder|*.jpg;*.wmf|Alle|*.*")),
              QStringLiteral("Bilder (*.jpg *.wmf);;Alle (*.*)"));
    EXPECT_EQ(qtFileFilter(QStringLiteral("Schülerdateien (*.dbf *.DBF)")), QStringLiteral("Schülerdateien (*.dbf *.DBF)"));

    // The dialog then offers the archive files, written in upper case as they are.
    QTemporaryDir dir;
    QFile(dir.filePath(QStringLiteral("A23-24-1.DBF"))).open(QIODevice::WriteOnly);
    QFile(dir.filePath(QStringLiteral("demo.dbf"))).open(QIODevice::WriteOnly);
    QFileDialog dlg(nullptr, QStringLiteral("Neue Archivdatei"), dir.path(),
                    qtFileFilter(QStringLiteral("Archivdateien (z.B. A08-09-1.dbf)|A\?\?-\?\?-?.dbf")));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    auto* tree = dlg.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(tree, nullptr);
    QStringList shown;
    for (int i = 0; i < 40 && tree->model()->rowCount(tree->rootIndex()) == 0; ++i)
        QTest::qWait(50); // the folder is read in the background
    for (int r = 0; r < tree->model()->rowCount(tree->rootIndex()); ++r)
        shown << tree->model()->index(r, 0, tree->rootIndex()).data().toString();
    EXPECT_EQ(shown, QStringList{QStringLiteral("A23-24-1.DBF")});
    dlg.close();
}
