// The epochal subjects dialog: its title and marker, the stored subjects
// ticked, and only the first ten ticked entries kept.
#include "entry/ui/TfEpochal.h"

#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>

using namespace zedora;

TEST(EpochalWindow, TicksStoredSubjectsAndKeepsTheFirstTenChosen)
{
    QStringList entries;
    for (int i = 1; i <= 12; ++i)
        entries << QString("N%1 (Fach %1)").arg(i);
    TfEpochal dialog("5A.DBF", "*)", entries, {"n2", " N11 "});
    EXPECT_EQ(dialog.windowTitle(), "Epochalfächer festlegen für Datei 5A.DBF");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("Edit1")->text(), "*)");
    auto* list = dialog.findChild<QListWidget*>("CheckListBox1");
    ASSERT_EQ(list->count(), 12);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(10)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(dialog.chosen(), QStringList({"N2", "N11"}));
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(Qt::Checked);
    const QStringList chosen = dialog.chosen();
    ASSERT_EQ(chosen.size(), 10);
    EXPECT_EQ(chosen.first(), "N1");
    EXPECT_EQ(chosen.last(), "N10");
}
