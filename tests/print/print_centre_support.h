#pragma once
// The demo class as print records, a workspace with the demo layout, and
// reading a PDF back (text per page, document metadata).
#include "renderer_test_support.h"

#include "base/ansi_text.h"
#include "dbase/table.h"
#include "print/layout_reader.h"
#include "print/report_pdf.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace zedora::testing {

inline QString shareDir() { return QStringLiteral(ZEDORA_SHARE_DIR "/"); }

// The demo file's students, repeated up to n, each with its own ID, name and
// class "10b".
inline ListRecords demoClass(int n)
{
    ListRecords out;
    auto table = dbase::Table::open((shareDir() + QStringLiteral("MUSTER/demo.dbf")).toStdString());
    QVector<QMap<QString, QString>> demo;
    for (table->first(); !table->isEmpty() && !table->eof();) {
        QMap<QString, QString> row;
        for (int f = 0; f < table->fieldCount(); ++f)
            row.insert(QString::fromStdString(table->field(f).name), fromAnsi(table->text(f)).trimmed());
        demo.append(row);
        if (!table->next())
            break;
    }
    for (int i = 0; i < n && !demo.isEmpty(); ++i) {
        auto row = demo[i % demo.size()];
        row.insert(QStringLiteral("ID"), QStringLiteral("ID%1").arg(i + 1, 3, 10, QLatin1Char('0')));
        row.insert(QStringLiteral("NAME"), QStringLiteral("Schüler%1").arg(i + 1));
        row.insert(QStringLiteral("KLASSE"), QStringLiteral("10b"));
        out.add(row);
    }
    return out;
}

// A workspace with LAYOUT/DEMO.LAY (the demo layout) and its MUSTER folder.
struct DemoWorkspace {
    QTemporaryDir dir;
    QString root() const { return dir.path() + u'/'; }
    QString layout() const { return root() + QStringLiteral("LAYOUT/DEMO.LAY"); }

    DemoWorkspace()
    {
        QDir(dir.path()).mkpath(QStringLiteral("LAYOUT"));
        QDir(dir.path()).mkpath(QStringLiteral("MUSTER"));
        QFile::copy(shareDir() + QStringLiteral("MUSTER/DEMOLAY.MST"), layout());
        for (const QString& f : QDir(shareDir() + QStringLiteral("MUSTER")).entryList(QDir::Files))
            QFile::copy(shareDir() + QStringLiteral("MUSTER/") + f, root() + QStringLiteral("MUSTER/") + f);
    }

    TDruckLayout parsed() const
    {
        TDruckLayout l;
        const auto text = readLayoutText(layout());
        parseLayoutForPrinting(layout(), text.value_or(QStringList()), l, nullptr, root());
        return l;
    }
};

inline QString runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline bool havePoppler()
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {QStringLiteral("-v")});
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit;
}

// The text of each page ("\f" separates pages), layout kept.
inline QStringList pdfPages(const QString& pdf)
{
    QStringList pages = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                            .split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

} // namespace zedora::testing
