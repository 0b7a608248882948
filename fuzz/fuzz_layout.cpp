// The two layout readers: any bytes as a layout text. The print-time reader
// must give a model whose active elements lie on the sheet; the editor
// reader and writer must give a text that reads back to the same grids.
#include "print/layout_editor_io.h"
#include "print/layout_reader.h"

#include "base/ansi_text.h"
#include "base/scripted_interaction.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace zedora;

namespace {

void fail(int line)
{
    std::fprintf(stderr, "fuzz_layout: check in line %d failed\n", line);
    std::abort();
}
#define check(ok) ((ok) ? void() : fail(__LINE__))

template <typename Element>
bool onSheet(const Element& e, int x, int y, const TDruckLayout& m)
{
    return !e.Aktiv || (x >= 0 && x <= m.Blattbreite && y >= 0 && y <= m.Blatthoehe);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString text = fromAnsi(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QStringList lines = text.split(QLatin1Char('\n'));

    TDruckLayout model;
    parseLayoutText(lines, QStringLiteral("/fuzz/LAYOUT"), model, QStringLiteral("/fuzz"));
    check(model.GlobalerSchriftGrad > 0 && !model.GlobaleSchrift.isEmpty());
    check(model.Bedeutung >= -1 && model.Bedeutung <= 2);
    for (const auto& e : model.Eintraege)
        check(onSheet(e, e.x, e.y, model) && (!e.Aktiv || e.Grad > 0) && e.Inhalt.size() <= kElementTextCapacity);
    for (const auto& l : model.Linien)
        check(onSheet(l, l.x1, l.y1, model) && (!l.Aktiv || l.Dicke >= 1));
    for (const auto& n : model.Notenfelder)
        check(onSheet(n, n.x, n.y, model) && (!n.Aktiv || (n.Laenge > 0 && n.Hoehe > 0)));
    for (const auto& t : model.Textbloecke)
        check(onSheet(t, t.x, t.y, model) && (!t.Aktiv || (t.Vorschub >= 1 && t.Maxzeilen >= 1)));
    for (const auto& b : model.Bilder)
        check(onSheet(b, b.x, b.y, model) && (!b.Aktiv || !b.Bilddatei.isEmpty()));

    ScriptedInteraction ui;
    LayoutEditorData first = readLayoutForEditing(lines, QStringLiteral("F.LAY"), QStringLiteral("KUERZEL.TXT"));
    const QStringList written = buildLayoutText(first, ui);
    LayoutEditorData second = readLayoutForEditing(written, QStringLiteral("F.LAY"), QStringLiteral("KUERZEL.TXT"));
    // What the writer wrote, the reader reads back: saving twice is stable.
    check(buildLayoutText(second, ui) == written);
    TDruckLayout reparsed;
    parseLayoutText(written, QStringLiteral("/fuzz/LAYOUT"), reparsed);
    return 0;
}
