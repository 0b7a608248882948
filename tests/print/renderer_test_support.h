#pragma once
// Records for renderer tests: a list of students, each a map of field values.
#include "print/layout_model.h"
#include "print/page_renderer.h"
#include "print/print_records.h"
#include "print/recording_surface.h"
#include "core/settings.h"
#include "base/scripted_interaction.h"

#include <QMap>
#include <QVector>

namespace zedora::testing {

class ListRecords : public PrintRecords {
public:
    QVector<QMap<QString, QString>> rows;
    int current = 0;

    void add(const QMap<QString, QString>& row) { rows.append(row); }

    bool hasField(const QString& name) const override
    {
        return !rows.isEmpty() && rows[0].contains(name);
    }
    QString value(const QString& name) const override
    {
        return current < rows.size() ? rows[current].value(name) : QString();
    }
    bool first() override
    {
        current = 0;
        return !rows.isEmpty();
    }
    bool next() override
    {
        if (current + 1 >= rows.size())
            return false;
        ++current;
        return true;
    }
    bool findId(const QString& id) override
    {
        for (int i = 0; i < rows.size(); ++i)
            if (rows[i].value(QStringLiteral("ID")) == id) {
                current = i;
                return true;
            }
        return false;
    }
    std::uint64_t position() const override { return std::uint64_t(current); }
    void restore(std::uint64_t p) override { current = int(p); }
};

// A layout with nothing active, the global font Arial 12.
inline TDruckLayout emptyLayout()
{
    TDruckLayout l;
    return l;
}

inline TLayEintrag entry(int x, int y, const QString& text, QChar align = u'L')
{
    TLayEintrag e;
    e.Aktiv = true;
    e.x = x;
    e.y = y;
    e.Inhalt = text;
    e.Ausrichtung = align;
    e.Schriftart = QStringLiteral("ARIAL");
    e.Grad = 12;
    return e;
}

inline TLayTextblock block(int x, int y, const QString& text, int maxWidth, int maxLines)
{
    TLayTextblock b;
    b.Aktiv = true;
    b.x = x;
    b.y = y;
    b.Inhalt = text;
    b.Maxbreite = maxWidth;
    b.Maxzeilen = maxLines;
    b.Vorschub = 50;
    b.Schriftart = QStringLiteral("ARIAL");
    b.Grad = 12;
    return b;
}

// Renders the run onto a recording; keeps what it needs alive.
struct RenderHarness {
    TDruckLayout layout;
    Settings settings;
    ScriptedInteraction ui;
    PrintMetrics metrics;
    ListRecords records;
    RenderOptions options;
    PrintRun run;

    RenderHarness()
    {
        options.entwertung = settings.Entwertung;
        records.add({{QStringLiteral("NAME"), QStringLiteral("Muster")},
                     {QStringLiteral("ID"), QStringLiteral("1")}});
    }

    RecordingSurface render(int* pages = nullptr)
    {
        PlaceholderContext context;
        context.settings = &settings;
        context.ui = &ui;
        PageRenderer renderer(layout, metrics, options, context);
        RecordingSurface surface;
        const int n = renderer.render(surface, records, run);
        if (pages)
            *pages = n;
        return surface;
    }
};

} // namespace zedora::testing
