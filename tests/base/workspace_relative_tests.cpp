#include "base/workspace_relative.h"

#include <gtest/gtest.h>

using namespace zedora;

namespace {

TEST(WorkspaceRelative, ShortFormIsTheTailFromTheMarker)
{
    const auto student = RelativeKind::StudentFile;
    const auto layout = RelativeKind::Layout;
    EXPECT_EQ(workspaceShortForm("C:\\Daten\\ze-1920-1\\5a.dbf", student), QStringLiteral("ze-1920-1\\5a.dbf"));
    EXPECT_EQ(workspaceShortForm("  /srv/zedora/ZE-1920-1/5A.DBF ", student), QStringLiteral("ZE-1920-1\\5A.DBF"));
    EXPECT_EQ(workspaceShortForm("/srv/zedora/Layout/Zeugnis.lay", layout), QStringLiteral("Layout\\Zeugnis.lay"));
    // A layout named like a data directory stays below LAYOUT.
    EXPECT_EQ(workspaceShortForm("/srv/zedora/LAYOUT/ZE-ALT.LAY", layout), QStringLiteral("LAYOUT\\ZE-ALT.LAY"));
    EXPECT_EQ(workspaceShortForm("/srv/zedora/LAYOUT/ZE-ALT.LAY", RelativeKind::Any),
              QStringLiteral("LAYOUT\\ZE-ALT.LAY"));
    EXPECT_EQ(workspaceShortForm("/srv/zedora/ZE-1920-1/LAYOUT/X.LAY", RelativeKind::Any),
              QStringLiteral("ZE-1920-1\\LAYOUT\\X.LAY"));
    // "LAYOUT" without a separator behind it is no marker.
    EXPECT_EQ(workspaceShortForm(" C:\\TEMP\\LAYOUT.LAY ", layout), QStringLiteral("C:\\TEMP\\LAYOUT.LAY"));
    EXPECT_EQ(workspaceShortForm("DEMO.LAY", layout), QStringLiteral("DEMO.LAY"));
    EXPECT_EQ(workspaceShortForm("   ", student), QString());
}

TEST(WorkspaceRelative, WorkspaceInsideAMarkerFolderIsNotCutShort)
{
    const QString ws = QStringLiteral("/home/ze-lehrer/LAYOUT/zedora/");
    EXPECT_EQ(workspaceShortForm(ws + "ZE-1920-1/5A.DBF", RelativeKind::StudentFile, ws),
              QStringLiteral("ZE-1920-1\\5A.DBF"));
    EXPECT_EQ(workspaceShortForm(ws + "LAYOUT/DEMO.LAY", RelativeKind::Layout, ws),
              QStringLiteral("LAYOUT\\DEMO.LAY"));
    EXPECT_EQ(workspaceShortForm(ws + "DEMO.LAY", RelativeKind::Layout, ws), QStringLiteral("DEMO.LAY"));
    EXPECT_EQ(workspaceShortForm("/srv/anderswo/DEMO.LAY", RelativeKind::Layout, ws),
              QStringLiteral("\\srv\\anderswo\\DEMO.LAY"));
    // Without the workspace the first marker of the path counts.
    EXPECT_EQ(workspaceShortForm(ws + "ZE-1920-1/5A.DBF", RelativeKind::StudentFile),
              QStringLiteral("ze-lehrer\\LAYOUT\\zedora\\ZE-1920-1\\5A.DBF"));
}

TEST(WorkspaceRelative, ExpansionPutsTheShortFormBehindTheWorkspace)
{
    const QString ws = QStringLiteral("/srv/zedora/");
    const auto student = RelativeKind::StudentFile;
    EXPECT_EQ(expandWorkspaceRelative(ws, "", student), QString());
    EXPECT_EQ(expandWorkspaceRelative(ws, "   ", student), QString());
    EXPECT_EQ(expandWorkspaceRelative(ws, " ZE-1920-1\\5A.DBF ", student), QStringLiteral("/srv/zedora/ZE-1920-1/5A.DBF"));
    // A full path from the old place of the workspace finds the file in the new one.
    EXPECT_EQ(expandWorkspaceRelative(ws, "C:\\ALT\\ZE-1920-1\\5A.DBF", student),
              QStringLiteral("/srv/zedora/ZE-1920-1/5A.DBF"));
    EXPECT_EQ(expandWorkspaceRelative("/srv/zedora", "DEMO.LAY", RelativeKind::Layout),
              QStringLiteral("/srv/zedora/DEMO.LAY"));
    EXPECT_EQ(expandWorkspaceRelative(ws, "C:\\TEMP\\X.LAY", RelativeKind::Layout),
              QStringLiteral("/srv/zedora/C:/TEMP/X.LAY"));
    // An absolute path of this computer keeps pointing at its file.
    EXPECT_EQ(expandWorkspaceRelative(ws, "/tmp/x.lay", RelativeKind::Layout), QStringLiteral("/tmp/x.lay"));
    const QString stored = workspaceShortForm("/tmp/x.lay", RelativeKind::Layout, ws);
    EXPECT_EQ(stored, QStringLiteral("\\tmp\\x.lay"));
    EXPECT_EQ(expandWorkspaceRelative(ws, stored, RelativeKind::Layout), QStringLiteral("/tmp/x.lay"));
}

} // namespace
