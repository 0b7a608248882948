// The mail-merge file: values with ";" or line breaks keep every student on
// one line with the columns in place; memos, ANSI and CR LF.
#include "exchange/export_mail_merge.h"
#include "support/temp_dir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace zedora {
namespace {

TEST(MailMerge, SemicolonsAndLineBreaksNeverShiftOrSplitALine)
{
    EXPECT_EQ(mailMergeValue(QStringLiteral("Musik; Kunst")), QStringLiteral("Musik, Kunst"));
    EXPECT_EQ(mailMergeValue(QStringLiteral("a\r\nb\nc\rd")), QStringLiteral("a b c d"));
    EXPECT_EQ(mailMergeMemo(QStringLiteral("Gut.\r\nWeiter so.")), QStringLiteral("Gut. Weiter so. "));
    EXPECT_EQ(mailMergeMemo(QStringLiteral("  Eins  \nZwei\n")), QStringLiteral("Eins Zwei "));
    EXPECT_EQ(mailMergeMemo(QString(300, u'x')).size(), 250);
    EXPECT_EQ(mailMergeFileName(QStringLiteral("/w/serie")), QStringLiteral("/w/serie.DOC"));
    EXPECT_EQ(mailMergeFileName(QStringLiteral("/w/brief.txt")), QStringLiteral("/w/brief.txt"));

    test::TempDir dir;
    const QString path = QString::fromStdString(dir.file("SERIE.DOC"));
    test::writeBytes(path.toStdString(), "alt");
    ASSERT_EQ(writeMailMergeFile(path, {QStringLiteral("NAME"), QStringLiteral("VORNAME"), QStringLiteral("DE")},
                                 {{QStringLiteral("Müller; Sohn"), QStringLiteral("Jörg\nPeter"), QStringLiteral("gut")},
                                  {QStringLiteral("Ärger"), QString(), QStringLiteral("sehr gut")}}),
              QString());
    EXPECT_EQ(test::readBytes(path.toStdString()),
              "NAME;VORNAME;DE\r\nM\xfcller, Sohn;J\xf6rg Peter;gut\r\n\xc4rger;;sehr gut\r\n");

    // A target that cannot be written is reported.
    const QString blocked = QString::fromStdString(dir.file("fehlt/SERIE.DOC"));
    EXPECT_EQ(writeMailMergeFile(blocked, {QStringLiteral("NAME")}, {}),
              QStringLiteral("Die Seriendruckdatei %1 konnte nicht geschrieben werden!").arg(blocked));
}

} // namespace
} // namespace zedora
