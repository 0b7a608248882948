#include "main/cli_dbf_check.h"

#include "base/ansi_text.h"
#include "data/student_file_access.h"
#include "dbase/index.h"
#include "dbase/table.h"

#include <QString>

#include <filesystem>
#include <ostream>

namespace zedora::cli {

namespace {

using dbase::Table;

constexpr int kProblems = 1;
constexpr int kUsage = 2;
constexpr int kFailed = 1; // refused or failed, as for every command

// A value from the command line: UTF-8, with \n for a line break and \t for
// a tab as the dump writes them.
std::string ansiValue(const std::string& text)
{
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == 't')) {
            plain += text[i + 1] == 'n' ? "\r\n" : "\t";
            ++i;
        } else {
            plain += text[i];
        }
    }
    return toAnsiStd(QString::fromUtf8(plain.data(), qsizetype(plain.size())));
}

struct Assignment {
    std::string field;
    std::string value;
};

bool parseAssignments(const Args& args, size_t from, std::vector<Assignment>& out, std::ostream& err)
{
    for (size_t i = from; i < args.size(); ++i) {
        const size_t eq = args[i].find('=');
        if (eq == std::string::npos || eq == 0) {
            err << "Fehler: \"" << args[i] << "\" ist keine Zuweisung FELD=WERT.\n";
            return false;
        }
        out.push_back({args[i].substr(0, eq), args[i].substr(eq + 1)});
    }
    if (out.empty()) {
        err << "Fehler: keine Zuweisung FELD=WERT angegeben.\n";
        return false;
    }
    return true;
}

void assign(Table& t, const std::vector<Assignment>& values)
{
    for (const Assignment& a : values) {
        const int field = t.fieldIndex(a.field);
        if (t.field(field).type == 'M')
            t.setMemo(field, ansiValue(a.value));
        else
            t.setText(field, ansiValue(a.value));
    }
}

// The index as it lies on disk: a file left half written is a finding, and
// verify itself must not set off the rebuild an open would start.
std::string incompleteIndex(const std::string& file)
{
    bool exists = false;
    const std::string mdx = dbase::companionPath(file, ".MDX", &exists);
    if (!exists)
        return {};
    try {
        dbase::MdxIndex::open(mdx, false);
    } catch (const dbase::MdxIncomplete& e) {
        return e.what();
    } catch (const dbase::DbfError&) {
        // Reported by the open of the table itself.
    }
    return {};
}

} // namespace

int dbfVerify(const std::string& file, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> problems;
    const std::string incomplete = incompleteIndex(file);
    if (!incomplete.empty()) {
        problems.push_back(incomplete);
    } else {
        try {
            OpenedTable opened = openToRead(QString::fromStdString(file));
            auto& t = opened.table;
            if (opened.withoutIndex)
                err << "Hinweis: Die Indexdatei von " << file
                    << " fehlt und kann hier nicht neu aufgebaut werden; nur Tabelle und Memos geprüft.\n";
            problems = t->findProblems();
            if (problems.empty()) {
                out << "Keine Fehler: " << t->recordCount() << " Datensätze, " << t->tags().size()
                    << " Tags und die Memos von " << file << " sind in Ordnung.\n";
                return 0;
            }
        } catch (const dbase::IndexDamaged& e) {
            problems.push_back(e.what());
        } catch (const dbase::DbfError& e) {
            err << "Fehler: " << e.what() << "\n";
            return kFailed;
        }
    }
    for (const std::string& p : problems)
        out << p << "\n";
    out.flush();
    err << "Fehler: " << problems.size() << (problems.size() == 1 ? " Problem" : " Probleme") << " in " << file
        << " gefunden; \"zedora-cli dbf repair " << file << "\" behebt sie.\n";
    return kProblems;
}

int dbfSet(const std::string& file, const Args& args, std::ostream& out, std::ostream& err)
{
    // args: FILE RECNO FIELD=VALUE...
    uint32_t recno = 0;
    try {
        size_t used = 0;
        const unsigned long n = std::stoul(args.at(1), &used);
        if (used != args[1].size() || n == 0 || n > 0xFFFFFFFFul)
            throw std::invalid_argument("recno");
        recno = static_cast<uint32_t>(n);
    } catch (const std::exception&) {
        err << "Fehler: \"" << (args.size() > 1 ? args[1] : std::string()) << "\" ist keine Satznummer.\n";
        return kUsage;
    }
    std::vector<Assignment> values;
    if (!parseAssignments(args, 2, values, err))
        return kUsage;
    try {
        auto t = openToEdit(QString::fromStdString(file));
        if (recno > t->recordCount())
            throw dbase::DbfError("Die Tabelle " + file + " hat keinen Datensatz " + std::to_string(recno) + ".");
        t->gotoRecord(recno);
        t->edit();
        assign(*t, values);
        t->setWriteThrough(true);
        t->post();
        out << "Datensatz " << recno << " von " << file << " gespeichert.\n";
        return 0;
    } catch (const dbase::DbfError& e) {
        err << "Fehler: " << e.what() << "\n";
        return kFailed;
    }
}

int dbfAppend(const std::string& file, const Args& args, std::ostream& out, std::ostream& err)
{
    std::vector<Assignment> values;
    if (!parseAssignments(args, 1, values, err))
        return kUsage;
    try {
        auto t = openToEdit(QString::fromStdString(file));
        t->append();
        assign(*t, values);
        t->setWriteThrough(true);
        t->post();
        out << "Datensatz " << t->recno() << " an " << file << " angefügt.\n";
        return 0;
    } catch (const dbase::DbfError& e) {
        err << "Fehler: " << e.what() << "\n";
        return kFailed;
    }
}

int dbfRepair(const std::string& file, std::ostream& out, std::ostream& err)
{
    namespace fs = std::filesystem;
    try {
        // Held alone from here on; the old index is not trusted, only its tag definitions.
        auto t = Table::open(file, dbase::OpenMode::ExclusiveWithoutIndex);
        std::vector<std::string> parts = {file};
        for (const char* ext : {".DBT", ".MDX"}) {
            bool exists = false;
            const std::string p = dbase::companionPath(file, ext, &exists);
            if (exists)
                parts.push_back(p);
        }
        for (const std::string& p : parts)
            if (fs::exists(p + ".ALT"))
                throw dbase::DbfError("Die Sicherung " + p + ".ALT besteht schon; bitte erst woanders hinlegen.");
        for (const std::string& p : parts) {
            fs::copy_file(p, p + ".ALT");
            out << "Sicherung: " << p << ".ALT\n";
        }

        for (const std::string& done : t->repairMemos())
            out << done << "\n";

        bool hasIndex = false;
        const std::string mdx = dbase::companionPath(file, ".MDX", &hasIndex);
        if (hasIndex || t->productionIndexFlag()) {
            std::vector<dbase::TagSpec> specs;
            try {
                for (const dbase::TagInfo& tag : dbase::MdxIndex::tagsOfIncomplete(mdx))
                    specs.push_back({tag.name, tag.expression, tag.unique, tag.condition});
            } catch (const dbase::DbfError& e) {
                throw dbase::DbfError(std::string(e.what()) + " Die Tags sind nicht lesbar; bitte mit \"zedora-cli dbf "
                                      "reindex " + file + " --student\" (oder --id, --sibank) neu aufbauen.");
            }
            t->rebuildIndex(specs);
            out << "Index neu aufgebaut:";
            for (const auto& s : specs)
                out << " " << s.name;
            out << "\n";
        }
        t->flush();
        t.reset();

        auto check = Table::open(file);
        const std::vector<std::string> left = check->findProblems();
        for (const std::string& p : left)
            out << p << "\n";
        out.flush();
        if (!left.empty()) {
            err << "Fehler: nach der Reparatur bleiben " << left.size() << " Probleme in " << file << ".\n";
            return kProblems;
        }
        out << "Repariert: " << file << " ist in Ordnung.\n";
        return 0;
    } catch (const std::exception& e) {
        out.flush();
        err << "Fehler: " << e.what() << "\n";
        return kFailed;
    }
}

} // namespace zedora::cli
