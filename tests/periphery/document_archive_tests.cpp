// The document archive: the tree of half-year folders, the window that
// opens a chosen document with Enter or a double click, and the operation
// that opens a document with its messages.
#include "core/settings.h"
#include "periphery/document_archive.h"
#include "periphery/open_document.h"
#include "periphery/ui/Tdoku.h"
#include "periphery_test_support.h"

#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

struct Archive : PeripheryWorkspace {
    QString folder = mkdir(QStringLiteral("DOKU-PDF-ARCHIV"));
    Archive()
    {
        mkdir(QStringLiteral("DOKU-PDF-ARCHIV/ZE-1920-1"));
        mkdir(QStringLiteral("DOKU-PDF-ARCHIV/ZE-1920-1/ZE-Nachtrag"));
        mkdir(QStringLiteral("DOKU-PDF-ARCHIV/Sonstiges"));
        mkdir(QStringLiteral("DOKU-PDF-ARCHIV/.versteckt"));
        writeBytes(path(QStringLiteral("DOKU-PDF-ARCHIV/ZE-1920-1/5A.pdf")), "%PDF-1.4\n");
        writeBytes(path(QStringLiteral("DOKU-PDF-ARCHIV/ZE-1920-1/ZE-Nachtrag/5B.pdf")), "%PDF-1.4\n");
        writeBytes(path(QStringLiteral("DOKU-PDF-ARCHIV/Sonstiges/innen.pdf")), "%PDF-1.4\n");
        writeBytes(path(QStringLiteral("DOKU-PDF-ARCHIV/.lock")), "");
        writeBytes(path(QStringLiteral("DOKU-PDF-ARCHIV/liesmich.txt")), "x");
    }
};

const ArchiveNode* find(const QList<ArchiveNode>& nodes, const QString& text)
{
    for (const ArchiveNode& n : nodes)
        if (n.text == text)
            return &n;
    return nullptr;
}

} // namespace

TEST(DocumentArchive, HalfYearFoldersBecomeNodesEverythingElseLeaves)
{
    Archive a;
    EXPECT_EQ(documentFolder(a.tmp.path() + QLatin1Char('/')), a.folder);  // found whatever its letter case
    const QList<ArchiveNode> top = listDocumentArchive(a.folder);
    EXPECT_EQ(top.size(), 3);
    const ArchiveNode* half = find(top, QStringLiteral("ZE-1920-1"));
    ASSERT_NE(half, nullptr);
    EXPECT_TRUE(half->expandable);
    ASSERT_NE(find(half->children, QStringLiteral("5A.pdf")), nullptr);
    const ArchiveNode* nested = find(half->children, QStringLiteral("ZE-Nachtrag"));
    ASSERT_NE(nested, nullptr);
    EXPECT_NE(find(nested->children, QStringLiteral("5B.pdf")), nullptr);
    const ArchiveNode* other = find(top, QStringLiteral("Sonstiges"));
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(other->expandable);
    EXPECT_TRUE(other->children.isEmpty());
    EXPECT_EQ(find(top, QStringLiteral(".versteckt")), nullptr);
    EXPECT_EQ(find(top, QStringLiteral(".lock")), nullptr);
    // No archive folder at all: an empty tree.
    EXPECT_TRUE(listDocumentArchive(a.path(QStringLiteral("fehlt"))).isEmpty());
}

TEST(DocumentArchive, EnterOpensADocumentButNotAFolder)
{
    Archive a;
    Settings settings;
    QStringList opened;
    Tdoku window(a.tmp.path() + QLatin1Char('/'), settings, a.ui, [&opened](const QString& p) { opened << p; });
    EXPECT_EQ(a.ui.busyDepth, 0);  // the wait cursor of the listing is gone again
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Dokumenten Archiv"));
    QTreeWidget* tree = window.findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->toolTip(), QStringLiteral("PDF-Datei wählen, aufrufen mit Doppelklick oder ENTER"));
    window.show();
    const QList<QTreeWidgetItem*> half = tree->findItems(QStringLiteral("ZE-1920-1"), Qt::MatchExactly);
    ASSERT_EQ(half.size(), 1);
    EXPECT_EQ(half.first()->childCount(), 2);
    tree->expandAll();
    if (qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS"))
        window.grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + QStringLiteral("/dokumenten-archiv.png"));

    tree->setCurrentItem(half.first());
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(window.selectedDocument(), QString());
    EXPECT_TRUE(window.isVisible());  // Enter does not close the window

    QTreeWidgetItem* leaf = nullptr;
    for (int i = 0; i < half.first()->childCount(); ++i)
        if (half.first()->child(i)->text(0) == QLatin1String("5A.pdf"))
            leaf = half.first()->child(i);
    ASSERT_NE(leaf, nullptr);
    tree->setCurrentItem(leaf);
    QTest::keyClick(tree, Qt::Key_Return);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first(), a.path(QStringLiteral("DOKU-PDF-ARCHIV/ZE-1920-1/5A.pdf")));

    // A document removed meanwhile is not handed on.
    QFile::remove(opened.first());
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(opened.size(), 1);
}

namespace {

struct FakeDesktop {
    bool associated = true;
    bool opens = true;
    QStringList opened;
    QStringList openedWith;
    DocumentOpener::Desktop desktop()
    {
        DocumentOpener::Desktop d;
        d.hasApplication = [this](const QString&) { return associated; };
        d.open = [this](const QString& p) {
            opened << p;
            return opens;
        };
        d.openWith = [this](const QString& program, const QString& p) {
            openedWith << program + QLatin1Char(' ') + p;
            return true;
        };
        return d;
    }
};

} // namespace

TEST(OpenDocument, MissingUnassociatedAndUnopenableDocumentsAreReported)
{
    PeripheryWorkspace ws;
    FakeDesktop desk;
    DocumentOpener opener(ws.ui, desk.desktop());
    const QString pdf = ws.path(QStringLiteral("PDF/ZDR_HABU.PDF"));
    ws.mkdir(QStringLiteral("PDF"));
    writeBytes(pdf, "%PDF-1.4\n");

    EXPECT_EQ(opener.open(ws.path(QStringLiteral("pdf/zdr_habu.pdf"))), DocumentOpener::Outcome::Opened);
    EXPECT_EQ(desk.opened, QStringList{pdf});

    const QString missing = ws.path(QStringLiteral("PDF/ZDR_FAQ.PDF"));
    EXPECT_EQ(opener.open(missing), DocumentOpener::Outcome::NotFound);
    EXPECT_EQ(ws.ui.messages(),
              QStringList{QStringLiteral("Die zu öffnende Datei\n\"") + missing + QStringLiteral("\"\nwurde nicht gefunden!")});

    ws.ui.clear();
    desk.associated = false;
    const QString odd = ws.path(QStringLiteral("bericht.xyz"));
    writeBytes(odd, "?");
    queueAnswers(ws.ui, {Answer::No, Answer::Yes});
    queueTexts(ws.ui, {QStringLiteral("/usr/bin/betrachter")});
    EXPECT_EQ(opener.open(odd), DocumentOpener::Outcome::NoApplication);
    EXPECT_EQ(opener.open(odd), DocumentOpener::Outcome::Opened);
    const QString question = QStringLiteral("Die Dateiendung \".xyz\" der zu öffnende Datei\n\"") + odd
                             + QStringLiteral("\"\nist mit keiner Anwendung verknüpft.\nMöchten Sie eine Anwendung wählen?");
    EXPECT_EQ(ws.ui.messages(), (QStringList{question, question}));
    EXPECT_EQ(desk.openedWith, QStringList{QStringLiteral("/usr/bin/betrachter ") + odd});
    EXPECT_EQ(desk.opened.size(), 1);

    // The desktop fails to start its application: said so, not "opened".
    ws.ui.clear();
    desk.associated = true;
    desk.opens = false;
    EXPECT_EQ(opener.open(pdf), DocumentOpener::Outcome::NoApplication);
    EXPECT_EQ(ws.ui.messages(),
              QStringList{QStringLiteral("Die Datei\n\"") + pdf + QStringLiteral("\"\nkonnte nicht geöffnet werden!")});
}
