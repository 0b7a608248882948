#pragma once
// The shipped program on screen with the demo class, and the entry grid as a
// teacher uses it: click a cell, type, and read back what reached the file.
#include "app/shipped_program.h"
#include "app/ui/TFMain.h"
#include "data/current_student_file.h"
#include "data/student_table.h"
#include "data/student_table_model.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace zedora::test {

class EntryGridTest : public ShownProgramTest {
protected:
    void SetUp() override
    {
        ShownProgramTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        path = window->studentFile().path();
        ASSERT_GE(columnOf("DE"), 0) << "the demo layout has a German column";
    }
    StudentTable& table() { return window->studentFile().table(); }
    QTableView& grid() { return window->entryGrid(); }

    int columnOf(const QString& field)
    {
        for (int c = 0; c < window->entryModel().columnCount(); ++c) {
            if (window->entryModel().column(c)->field == field)
                return c;
        }
        return -1;
    }
    QModelIndex cell(int row, const QString& field) { return window->entryModel().index(row, columnOf(field)); }
    // The cell's editor while one is open.
    QLineEdit* editor()
    {
        auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        return line && grid().isAncestorOf(line) ? line : nullptr;
    }
    // Clicks the cell and types into it; the editor stays open.
    void typeInto(int row, const QString& field, const QString& text)
    {
        const QModelIndex target = cell(row, field);
        grid().setFocus();
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(target).center());
        ASSERT_EQ(grid().currentIndex(), target);
        for (const QChar c : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
        ASSERT_TRUE(editor()) << "typing opens the cell editor";
        ASSERT_EQ(editor()->text(), text);
    }
    // The value as stored on disk, read with a table of its own.
    QString stored(int row, const QString& field)
    {
        const QString id = table().valueAt(row, table().findField("ID"));
        StudentTable fresh;
        fresh.open(path);
        for (int r = 0; r < fresh.rowCount(); ++r) {
            if (fresh.valueAt(r, fresh.findField("ID")) == id)
                return fresh.valueAt(r, fresh.findField(field)).trimmed();
        }
        return QStringLiteral("(no such student)");
    }

    QString path;
};

} // namespace zedora::test
