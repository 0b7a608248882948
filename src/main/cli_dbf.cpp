// zedora-cli dbf: look into dBase tables, rebuild their index, check and repair them.
#include "main/cli_commands.h"
#include "main/cli_dbf_check.h"

#include "base/ansi_text.h"
#include "data/student_file_access.h"
#include "dbase/table.h"
#include "dbase/tag_sets.h"

#include <cstdio>
#include <ostream>

namespace zedora::cli {

namespace {

using dbase::Table;

std::string utf8(std::string_view ansi)
{
    return fromAnsi(ansi).toStdString();
}

// One cell of the dump: line breaks as \n and tabs as \t keep one record per line.
std::string dumpCell(std::string_view ansi)
{
    std::string out;
    out.reserve(ansi.size());
    for (size_t i = 0; i < ansi.size(); ++i) {
        const char c = ansi[i];
        if (c == '\r') {
            out += "\\n";
            if (i + 1 < ansi.size() && ansi[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return utf8(out);
}

std::string versionText(uint8_t v)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", v);
    switch (v) {
    case 0x03: return std::string(hex) + " (dBase III/IV ohne Memo)";
    case 0x83: return std::string(hex) + " (dBase III mit Memo)";
    case 0x8B:
    case 0x7B: return std::string(hex) + " (dBase IV mit Memo)";
    default: return hex;
    }
}

std::string driverText(uint8_t d)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", d);
    switch (d) {
    case 0x00: return std::string(hex) + " (keine Angabe)";
    case 0x01: return std::string(hex) + " (DOS USA, Codepage 437)";
    case 0x02: return std::string(hex) + " (DOS Mehrsprachig, Codepage 850)";
    case 0x03: return std::string(hex) + " (Windows ANSI, Codepage 1252)";
    case 0x57: return std::string(hex) + " (ANSI)";
    default: return hex;
    }
}

std::string optionsText(const dbase::TagInfo& t)
{
    std::string o;
    if (t.unique)
        o = "UNIQUE";
    if (t.descending)
        o += o.empty() ? "DESCENDING" : " DESCENDING";
    if (!t.condition.empty())
        o += (o.empty() ? "FOR " : " FOR ") + t.condition;
    return o.empty() ? "-" : o;
}

// Readers go the program's way: a pending move is finished, a lost index
// rebuilt where possible, else the table is read in its stored order.
std::unique_ptr<Table> openForReading(const std::string& file, std::ostream* note = nullptr)
{
    OpenedTable opened = openToRead(QString::fromStdString(file));
    if (opened.withoutIndex && note)
        *note << "Hinweis: Die Indexdatei " << dbase::companionPath(file, ".MDX")
              << " fehlt oder ist beschädigt und kann hier nicht neu aufgebaut werden;\n"
                 "die Datensätze kommen in der gespeicherten Reihenfolge.\n";
    return std::move(opened.table);
}

int info(const std::string& file, std::ostream& out, std::ostream& err)
{
    auto t = openForReading(file, &err);
    uint32_t deleted = 0;
    const uint32_t total = t->recordCount();
    for (uint32_t r = 1; r <= total; ++r) {
        t->gotoRecord(r);
        if (t->deleted())
            ++deleted;
    }
    out << "Datei: " << file << "\n";
    out << "Version: " << versionText(t->version()) << "\n";
    out << "Datensätze: " << total - deleted << "\n";
    if (deleted)
        out << "Gelöschte Datensätze: " << deleted << "\n";
    out << "Sprachtreiber: " << driverText(t->languageDriver()) << "\n";
    out << "Felder: " << t->fieldCount() << "\n";
    for (const dbase::FieldDesc& f : t->fields()) {
        out << "  " << utf8(f.name) << "\t" << f.type << "\t" << f.length;
        if (f.decimals)
            out << "\t" << f.decimals;
        out << "\n";
    }
    const auto tags = t->tags();
    out << "Tags: " << tags.size() << "\n";
    for (const auto& tag : tags)
        out << "  " << utf8(tag.name) << "\t" << utf8(tag.expression) << "\t" << utf8(optionsText(tag)) << "\n";
    return 0;
}

int dump(const std::string& file, const std::string& tag, std::ostream& out, std::ostream& err)
{
    auto t = openForReading(file, &err);
    if (!tag.empty())
        t->selectTag(tag);
    for (int i = 0; i < t->fieldCount(); ++i)
        out << (i ? "\t" : "") << utf8(t->field(i).name);
    out << "\n";
    for (t->first(); !t->eof(); t->next()) {
        for (int i = 0; i < t->fieldCount(); ++i)
            out << (i ? "\t" : "") << dumpCell(t->text(i));
        out << "\n";
    }
    return 0;
}

int tags(const std::string& file, std::ostream& out, std::ostream& err)
{
    auto t = openForReading(file, &err);
    for (const auto& tag : t->tags())
        out << utf8(tag.name) << "\t" << utf8(tag.expression) << "\t" << utf8(optionsText(tag)) << "\n";
    return 0;
}

int reindex(const std::string& file, const std::string& kind, std::ostream& out)
{
    const std::vector<dbase::TagSpec>* specs = nullptr;
    if (kind == "--student")
        specs = &dbase::studentTags();
    else if (kind == "--id")
        specs = &dbase::textBlockTags();
    else if (kind == "--sibank")
        specs = &dbase::sibankTags();
    else
        throw dbase::DbfError("Unbekannte Art \"" + kind + "\"; erlaubt sind --student, --id und --sibank.");
    // A lost or damaged index is what reindex repairs, so the old one is not read.
    auto t = Table::open(file, dbase::OpenMode::ExclusiveWithoutIndex);
    t->rebuildIndex(*specs);
    out << "Index von " << file << " neu aufgebaut:";
    for (const auto& s : *specs)
        out << " " << s.name;
    out << "\n";
    return 0;
}

int usage(std::ostream& err);

std::string ansi(const std::string& utf8Text)
{
    return toAnsiStd(QString::fromUtf8(utf8Text.data(), qsizetype(utf8Text.size())));
}

// NAME AUSDRUCK [--unique] [--for BEDINGUNG]: one more tag in the production index.
int addTag(const std::string& file, const Args& args, std::ostream& out, std::ostream& err)
{
    bool unique = false;
    std::string condition;
    for (size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--unique")
            unique = true;
        else if (args[i] == "--for" && i + 1 < args.size())
            condition = args[++i];
        else
            return usage(err);
    }
    auto t = Table::open(file, dbase::OpenMode::Exclusive);
    t->addIndexTag(ansi(args[0]), ansi(args[1]), unique, ansi(condition));
    const dbase::TagInfo tag = t->tags().back();
    out << "Tag " << utf8(tag.name) << " angelegt: " << utf8(tag.expression) << "\t" << utf8(optionsText(tag)) << "\n";
    return 0;
}

int usage(std::ostream& err)
{
    err << "Aufruf: zedora-cli dbf info DATEI\n"
           "       zedora-cli dbf dump DATEI [--tag NAME]\n"
           "       zedora-cli dbf tags DATEI\n"
           "       zedora-cli dbf reindex DATEI --student|--id|--sibank\n"
           "       zedora-cli dbf addtag DATEI NAME AUSDRUCK [--unique] [--for BEDINGUNG]\n"
           "       zedora-cli dbf verify DATEI\n"
           "       zedora-cli dbf set DATEI SATZNUMMER FELD=WERT...\n"
           "       zedora-cli dbf append DATEI FELD=WERT...\n"
           "       zedora-cli dbf repair DATEI\n"
           "(In Werten steht \\n für einen Zeilenumbruch und \\t für einen Tabulator.)\n";
    return 2;
}

} // namespace

int dbfCommand(const Args& args, std::ostream& out, std::ostream& err)
{
    if (args.size() < 2)
        return usage(err);
    const std::string& verb = args[0];
    const std::string& file = args[1];
    if (verb == "verify" && args.size() == 2)
        return dbfVerify(file, out, err);
    if (verb == "repair" && args.size() == 2)
        return dbfRepair(file, out, err);
    if (verb == "set" && args.size() >= 4)
        return dbfSet(file, Args(args.begin() + 1, args.end()), out, err);
    if (verb == "append" && args.size() >= 3)
        return dbfAppend(file, Args(args.begin() + 1, args.end()), out, err);
    try {
        if (verb == "info" && args.size() == 2)
            return info(file, out, err);
        if (verb == "tags" && args.size() == 2)
            return tags(file, out, err);
        if (verb == "dump" && args.size() == 2)
            return dump(file, {}, out, err);
        if (verb == "dump" && args.size() == 4 && args[2] == "--tag")
            return dump(file, args[3], out, err);
        if (verb == "reindex" && args.size() == 3)
            return reindex(file, args[2], out);
        if (verb == "addtag" && args.size() >= 4)
            return addTag(file, Args(args.begin() + 2, args.end()), out, err);
    } catch (const dbase::DbfError& e) {
        out.flush();
        err << "Fehler: " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        out.flush();
        err << "Fehler: " << e.what() << "\n";
        return 1;
    }
    return usage(err);
}

} // namespace zedora::cli
