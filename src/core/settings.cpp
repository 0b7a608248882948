#include "core/settings.h"

#include "base/path_resolver.h"
#include "base/workspace_relative.h"

namespace zedora {

bool operator==(const Passwords& a, const Passwords& b)
{
    return a.admin == b.admin && a.start == b.start && a.adminWritable == b.adminWritable;
}

QColor windowsColour(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int windowsColourValue(const QColor& colour)
{
    return colour.red() + 256 * colour.green() + 65536 * colour.blue();
}

ColourScheme colourScheme(int farbschema)
{
    switch (farbschema) {
    case 2: return {windowsColour(7526694), windowsColour(8780491)};
    case 3: return {windowsColour(13482381), windowsColour(10930173)};
    case 4: return {windowsColour(15780518), windowsColour(12639424)};
    default: return {windowsColour(5876991), windowsColour(10086397)};
    }
}

QString normaliseGradeList(const QString& list)
{
    QString t = list.trimmed();
    if (!t.startsWith(QLatin1Char(';')))
        t.prepend(QLatin1Char(';'));
    if (!t.endsWith(QLatin1Char(';')))
        t.append(QLatin1Char(';'));
    if (t == QLatin1String(";;"))
        t.clear();
    return t.trimmed().left(20);
}

Settings Settings::defaults(const QString& workspaceDir, int screenWidth)
{
    Settings s;
    s.SchildDatei = joinPath(workspaceDir, QStringLiteral("schild/schueler-demo.txt"));
    s.SchildSibankDatei = joinPath(workspaceDir, QStringLiteral("schild/s_2007.dbf"));
    s.fotoquellordner = workspaceDir;
    s.Layout[1] = expandWorkspaceRelative(workspaceDir, s.Layout[1], RelativeKind::Layout);
    s.LetztesLayout = joinPath(workspaceDir, QStringLiteral("LAYOUT/DEMO.LAY"));
    if (screenWidth <= 1000) {
        s.vbreite = s.vlayoutbreite = 422;
        s.vhoehe = s.vlayouthoehe = 482;
    }
    return s;
}

QRect Settings::mainWindowGeometry(const QSize& screen) const
{
    const int left = StartLinks < 0 ? 10 : StartLinks;
    const int top = StartOben < 0 ? 10 : StartOben;
    int width = StartBreite > screen.width() ? 750 : StartBreite;
    const int height = StartHoehe > screen.height() ? 450 : StartHoehe;
    if (width < 916)
        width = 916;
    return QRect(left, top, width, height);
}

void Settings::setColourScheme(int farbschema)
{
    FARBSCHEMA = farbschema >= 1 && farbschema <= 4 ? farbschema : 1;
    const ColourScheme c = colourScheme(FARBSCHEMA);
    firstColour = c.first;
    secondColour = c.second;
}

} // namespace zedora
