// The open class deleted, moved or replaced under the window: nothing is
// written into a file that has lost its name, and what was typed is kept.
#include "app/entry_grid_test.h"
#include "dbase/table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zedora::test {
namespace {

class ClassGoneTest : public EntryGridTest {
protected:
    QString companion(const char* ext) const
    {
        return QString::fromStdString(dbase::companionPath(path.toStdString(), ext));
    }
    // As another computer or a batch command would: the files go.
    void deleteClass()
    {
        for (const char* ext : {".DBF", ".DBT", ".MDX"})
            ASSERT_TRUE(QFile::remove(companion(ext)));
    }
    bool askedAboutTheFile(const char* what) const
    {
        for (const QString& m : ui.messages())
            if (m.startsWith(QStringLiteral("Die Schülerdatei ")) && m.contains(QString::fromUtf8(what)))
                return true;
        return false;
    }
    // Every student of a file and its German grade, read with a table of its own.
    static QMap<QString, QString> grades(const QString& file)
    {
        QMap<QString, QString> out;
        auto t = dbase::Table::open(QFileInfo(file).absoluteFilePath().toStdString());
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            out.insert(QString::fromLatin1(t->text("NAME").c_str()) + ',' + QString::fromLatin1(t->text("VORNAME").c_str()),
                       QString::fromLatin1(t->text("DE").c_str()));
        return out;
    }
};

TEST_F(ClassGoneTest, AGradeTypedIntoADeletedClassIsSavedAsANewFileWithAllStudents)
{
    const QMap<QString, QString> before = grades(path);
    const QString student = table().valueAt(2, table().findField("NAME")).trimmed() + ','
                          + table().valueAt(2, table().findField("VORNAME")).trimmed();
    const QString typed = before.value(student).trimmed() == QLatin1String("2") ? "3" : "2";
    typeInto(2, "DE", typed);
    deleteClass();
    const QString rescued = QFileInfo(path).absolutePath() + "/GERETTET.DBF";
    ui.answers.enqueue(Answer::Yes);
    ui.texts.enqueue(rescued);
    QTest::keyClick(editor(), Qt::Key_F8);

    EXPECT_TRUE(askedAboutTheFile("gelöscht oder verschoben")) << ui.messages().join("\n---\n").toStdString();
    EXPECT_TRUE(ui.messages().join('\n').contains("Ihre letzte Eingabe ist noch nicht gespeichert."));
    EXPECT_FALSE(QFileInfo::exists(path)) << "nothing is written under the old name";
    ASSERT_TRUE(QFileInfo::exists(rescued));
    QMap<QString, QString> expected = before;
    expected[student] = typed;
    EXPECT_EQ(grades(rescued), expected);
    EXPECT_EQ(QFileInfo(window->studentFile().path()).fileName(), "GERETTET.DBF") << "the window goes on in the new file";
    EXPECT_TRUE(ui.messages().join('\n').contains("Datensätze wurden in ")) << ui.messages().join("\n---\n").toStdString();
}

TEST_F(ClassGoneTest, AReplacedClassIsNotWrittenIntoAndCanBeOpenedAgainWithoutTheTypedValue)
{
    // Another class takes the name, as a zip import from another computer does.
    const QString other = QFileInfo(path).absolutePath() + "/ANDERE";
    for (const char* ext : {".DBF", ".DBT", ".MDX"})
        ASSERT_TRUE(QFile::copy(companion(ext), other + ext));
    {
        auto t = dbase::Table::open((other + ".DBF").toStdString(), dbase::OpenMode::Exclusive);
        for (t->first(); !t->eof() && !t->isEmpty(); t->next()) {
            t->edit();
            t->setText("DE", "6");
            t->post();
        }
    }
    typeInto(1, "DE", "1");
    for (const char* ext : {".DBF", ".DBT", ".MDX"})
        ASSERT_EQ(std::rename((other + ext).toLocal8Bit().constData(), companion(ext).toLocal8Bit().constData()), 0);

    // Cancel first: nothing happens and the edit stays pending.
    ui.answers.enqueue(Answer::Cancel);
    QTest::keyClick(editor(), Qt::Key_F8);
    EXPECT_TRUE(askedAboutTheFile("durch eine andere Datei ersetzt"));
    EXPECT_TRUE(table().isEditing());
    for (const QString& g : grades(path))
        EXPECT_EQ(g, "6") << "the replacement is untouched";

    // Then No: the file under the name is opened, the typed value discarded.
    ui.clear();
    ui.answers.enqueue(Answer::No);
    EXPECT_FALSE(table().savePending());
    EXPECT_TRUE(askedAboutTheFile("durch eine andere Datei ersetzt"));
    EXPECT_FALSE(table().isEditing());
    EXPECT_TRUE(table().stillAtItsPath());
    EXPECT_EQ(table().valueAt(1, table().findField("DE")).trimmed(), "6");
    for (const QString& g : grades(path))
        EXPECT_EQ(g, "6");
}

TEST_F(ClassGoneTest, TheLookNoticesADeletedClassOnceWhileNothingIsTyped)
{
    window->studentFile().setLookInterval(20);
    deleteClass();
    ui.answers.enqueue(Answer::Cancel);
    QTRY_VERIFY_WITH_TIMEOUT(askedAboutTheFile("gelöscht oder verschoben"), 3000);
    QTest::qWait(200);
    int asked = 0;
    for (const QString& m : ui.messages())
        asked += m.startsWith(QStringLiteral("Die Schülerdatei ")) ? 1 : 0;
    EXPECT_EQ(asked, 1) << "Abbrechen: the look does not ask again";
    EXPECT_FALSE(ui.messages().join('\n').contains("Ihre letzte Eingabe"));
    EXPECT_FALSE(QFileInfo::exists(path));
}

} // namespace
} // namespace zedora::test
