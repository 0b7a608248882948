#include "app/ui/icon_bar.h"

#include "core/ui/admin_commands.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace zedora {
namespace {

const QColor kInk(0x37, 0x47, 0x4F);
const QColor kBlue(0x1E, 0x88, 0xE5);
const QColor kGreen(0x43, 0xA0, 0x47);
const QColor kAmber(0xF9, 0xA8, 0x25);
const QColor kRed(0xE5, 0x39, 0x35);
const QColor kPaper(0xFF, 0xFF, 0xFF);

void page(QPainter& p, const QRectF& r)
{
    QPainterPath path;
    const qreal fold = 4;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void magnifier(QPainter& p, QPointF centre, qreal radius)
{
    p.setBrush(QColor(0xBB, 0xDE, 0xFB));
    p.drawEllipse(centre, radius, radius);
    QPen pen = p.pen();
    pen.setWidthF(2.6);
    p.setPen(pen);
    const qreal d = radius * 0.72;
    p.drawLine(centre + QPointF(d, d), centre + QPointF(d + 5, d + 5));
    pen.setWidthF(1.5);
    p.setPen(pen);
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour)
{
    QPen pen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF wing1 = line;
    wing1.setLength(4.5);
    wing1.setAngle(line.angle() + 35);
    QLineF wing2 = line;
    wing2.setLength(4.5);
    wing2.setAngle(line.angle() - 35);
    p.drawLine(wing1);
    p.drawLine(wing2);
    p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void padlock(QPainter& p, bool open)
{
    QPen shackle(kInk, 2.2, Qt::SolidLine, Qt::RoundCap);
    p.setPen(shackle);
    p.setBrush(Qt::NoBrush);
    const QRectF arc(7, 3, 10, 11);
    if (open) {
        p.drawArc(arc.translated(5, -1), 0, 180 * 16);
        p.drawLine(QPointF(22, 7.5), QPointF(22, 11));
    } else {
        p.drawArc(arc, 0, 180 * 16);
        p.drawLine(QPointF(7, 8.5), QPointF(7, 11));
        p.drawLine(QPointF(17, 8.5), QPointF(17, 11));
    }
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(open ? kGreen : kAmber);
    p.drawRoundedRect(QRectF(4.5, 11, 15, 10.5), 2, 2);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(12, 15.5), 1.5, 1.5);
}

void draw(QPainter& p, Glyph glyph)
{
    p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (glyph) {
    case Glyph::History:
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
        p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 12), QPointF(12, 6));
        p.drawLine(QPointF(12, 12), QPointF(16.5, 14.5));
        break;
    case Glyph::Printer:
        page(p, QRectF(7, 2.5, 10, 7));
        p.setBrush(QColor(0xB0, 0xBE, 0xC5));
        p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 2, 2);
        page(p, QRectF(7, 14, 10, 7.5));
        p.setBrush(kGreen);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(18.5, 11.5), 1.2, 1.2);
        break;
    case Glyph::Preview:
        page(p, QRectF(3.5, 2.5, 13, 18));
        magnifier(p, QPointF(14, 13.5), 4.5);
        break;
    case Glyph::SmallPage:
        p.setBrush(QColor(0xEC, 0xEF, 0xF1));
        p.drawRoundedRect(QRectF(2, 3.5, 20, 15), 1.5, 1.5);
        p.drawLine(QPointF(8, 21), QPointF(16, 21));
        page(p, QRectF(12.5, 5.5, 7, 9));
        break;
    case Glyph::TextBlocks:
        page(p, QRectF(4, 2.5, 16, 19));
        p.setPen(QPen(kBlue, 1.6, Qt::SolidLine, Qt::RoundCap));
        for (qreal y : {8.0, 11.5, 15.0})
            p.drawLine(QPointF(7, y), QPointF(17, y));
        p.drawLine(QPointF(7, 18.5), QPointF(13, 18.5));
        break;
    case Glyph::GlobalChange:
        p.setBrush(kPaper);
        for (qreal y : {3.0, 9.5, 16.0})
            p.drawRect(QRectF(3, y, 10, 5));
        arrow(p, QPointF(15.5, 5.5), QPointF(15.5, 18.5), kBlue);
        arrow(p, QPointF(20.5, 18.5), QPointF(20.5, 5.5), kGreen);
        break;
    case Glyph::Search:
        magnifier(p, QPointF(10, 10), 6.5);
        break;
    case Glyph::Filter: {
        QPolygonF funnel;
        funnel << QPointF(3, 4) << QPointF(21, 4) << QPointF(14, 12.5) << QPointF(14, 20)
               << QPointF(10, 18) << QPointF(10, 12.5);
        p.setBrush(kBlue);
        p.drawPolygon(funnel);
        break;
    }
    case Glyph::Export:
    case Glyph::Import: {
        p.setBrush(QColor(0xEC, 0xEF, 0xF1));
        QPolygonF tray;
        tray << QPointF(3, 13) << QPointF(7, 13) << QPointF(9, 16) << QPointF(15, 16)
             << QPointF(17, 13) << QPointF(21, 13) << QPointF(21, 21) << QPointF(3, 21);
        p.drawPolygon(tray);
        if (glyph == Glyph::Export)
            arrow(p, QPointF(12, 13), QPointF(12, 2.5), kBlue);
        else
            arrow(p, QPointF(12, 2.5), QPointF(12, 13), kGreen);
        break;
    }
    case Glyph::Settings:
        for (int i = 0; i < 3; ++i) {
            const qreal y = 5.5 + i * 6.5;
            const qreal knob = i == 1 ? 15.5 : (i == 0 ? 8 : 11);
            p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3, y), QPointF(21, y));
            p.setPen(QPen(kInk, 1.3));
            p.setBrush(kBlue);
            p.drawEllipse(QPointF(knob, y), 2.6, 2.6);
        }
        break;
    case Glyph::Layout:
        page(p, QRectF(4, 2.5, 16, 19));
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRect(QRectF(6.5, 6, 7, 4));
        p.setBrush(kGreen);
        p.drawRect(QRectF(6.5, 12, 11, 2.2));
        p.drawRect(QRectF(6.5, 16, 11, 2.2));
        break;
    case Glyph::Columns:
        p.setBrush(kPaper);
        p.drawRect(QRectF(2.5, 4, 19, 16));
        p.setBrush(QColor(0xBB, 0xDE, 0xFB));
        p.drawRect(QRectF(8.8, 4, 6.4, 16));
        p.drawLine(QPointF(2.5, 8.5), QPointF(21.5, 8.5));
        break;
    case Glyph::Lock:
        padlock(p, false);
        break;
    case Glyph::Unlock:
        padlock(p, true);
        break;
    case Glyph::SingleStudent:
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(12, 7.5), 4.2, 4.2);
        p.drawChord(QRectF(4, 13, 16, 16), 0, 180 * 16);
        break;
    case Glyph::Refresh: {
        QPen pen(kGreen, 2.4, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 16, 16), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        QPolygonF head;
        head << QPointF(14.5, 1.5) << QPointF(19.5, 5.5) << QPointF(13.5, 8.5);
        p.drawPolygon(head);
        break;
    }
    case Glyph::Exit:
        p.setBrush(QColor(0xEC, 0xEF, 0xF1));
        p.drawRect(QRectF(3, 2.5, 11, 19));
        p.setBrush(kInk);
        p.drawEllipse(QPointF(11.5, 12), 0.9, 0.9);
        arrow(p, QPointF(10, 12), QPointF(21.5, 12), kRed);
        break;
    }
}

QPixmap render(Glyph glyph, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    draw(p, glyph);
    return pixmap;
}

// Shows the captions beside the icons while they fit, the icons alone (with
// the captions as tool tips) in a narrow window.
class IconBarFrame : public QFrame {
public:
    using QFrame::QFrame;
    QList<QToolButton*> buttons;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QFrame::resizeEvent(event);
        if (wideWidth_ == 0) {
            setStyle(Qt::ToolButtonTextBesideIcon);
            wideWidth_ = layout()->sizeHint().width();
        }
        setStyle(event->size().width() >= wideWidth_ ? Qt::ToolButtonTextBesideIcon
                                                     : Qt::ToolButtonIconOnly);
    }

private:
    void setStyle(Qt::ToolButtonStyle style)
    {
        for (QToolButton* b : buttons)
            b->setToolButtonStyle(style);
    }
    int wideWidth_ = 0;
};

struct ButtonSpec {
    const char* name;
    const char* text;
    const char* hint; // nullptr: the text
    Glyph glyph;
    bool adminOnly;
    bool available;
};

// Row 1: looking at and printing the students' data; row 2: the set-up.
const ButtonSpec kRow1[] = {
    {"SpeedButton4", "Historie", nullptr, Glyph::History, false, false},
    {nullptr, nullptr, nullptr, Glyph::History, false, false},
    {"SpeedButton10", "Druckzentrum", nullptr, Glyph::Printer, false, false},
    {"PreView", "Vorschau/Druck", nullptr, Glyph::Preview, false, false},
    {"smallPreviewButton", "Kleine Seite", "Ganze Seite im kleinen Fenster", Glyph::SmallPage, false, false},
    {nullptr, nullptr, nullptr, Glyph::History, false, false},
    {"SpeedButton2", "Textbausteine F3", nullptr, Glyph::TextBlocks, false, false},
    {"SpeedButton5", "Global Ändern F5", nullptr, Glyph::GlobalChange, false, false},
    {"SpeedButton7", "Schüler(-in) suchen", nullptr, Glyph::Search, false, false},
    {"FilterButton", "Filter inaktiv", "Wenn Filter aktiv, keine Datenbearbeitung möglich!", Glyph::Filter,
     false, false},
};
const ButtonSpec kRow2[] = {
    {"SpeedButton16", "Einstellungen", nullptr, Glyph::Settings, true, false},
    {"BtnSichern", "Layout bearbeiten", nullptr, Glyph::Layout, true, false},
    {"SpeedButton18", "Spalten ändern", nullptr, Glyph::Columns, true, false},
    {nullptr, nullptr, nullptr, Glyph::History, false, false},
    {"SpeedButton9", "Datenexport", nullptr, Glyph::Export, false, false},
    {"SpeedButton11", "Datenimport", nullptr, Glyph::Import, false, false},
    {nullptr, nullptr, nullptr, Glyph::History, false, false},
    {"SpeedButton19", "Sperren", "Tabelle sperren", Glyph::Lock, false, false},
    {"SpeedButton20", "Freigeben", "Tabelle zur Eingabe freigeben", Glyph::Unlock, false, false},
    {"SpeedButton8", "Einzeln", "Nur den aktuellen Schüler zeigen (ein / aus)", Glyph::SingleStudent, false, false},
    {"SpeedButton21", "Aktualisieren", "Tabellenrefresh", Glyph::Refresh, false, false},
};

QFrame* separator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

QIcon glyphIcon(Glyph glyph)
{
    QIcon icon;
    for (int size : {16, 20, 24, 32, 40, 48})
        icon.addPixmap(render(glyph, size));
    return icon;
}

IconBar buildIconBar(QWidget* parent, AdminCommands& commands)
{
    IconBar bar;
    auto* panel = new IconBarFrame(parent);
    bar.panel = panel;
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    // The buttons give way in a narrow window instead of widening it.
    panel->setMinimumWidth(200);

    auto* rows = new QVBoxLayout(panel);
    rows->setContentsMargins(4, 3, 4, 3);
    rows->setSpacing(1);

    auto makeButton = [&](const ButtonSpec& entry, QHBoxLayout* row) {
        if (!entry.name) {
            row->addSpacing(3);
            row->addWidget(separator(panel));
            row->addSpacing(3);
            return;
        }
        auto* button = new QToolButton(panel);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setText(QString::fromUtf8(entry.text));
        button->setToolTip(QString::fromUtf8(entry.hint ? entry.hint : entry.text));
        button->setIcon(glyphIcon(entry.glyph));
        button->setIconSize(QSize(20, 20));
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setFocusPolicy(Qt::NoFocus);
        row->addWidget(button);
        bar.buttons.insert(button->objectName(), button);
        panel->buttons.append(button);
        commands.add(button, entry.adminOnly ? AdminCommands::Access::AdministratorOnly
                                            : AdminCommands::Access::Everyone,
                     entry.available);
    };

    auto* row1 = new QHBoxLayout;
    row1->setSpacing(2);
    for (const ButtonSpec& entry : kRow1)
        makeButton(entry, row1);
    row1->addStretch(1);
    makeButton({"SpeedButton1", "Beenden", "Programm beenden", Glyph::Exit, false, true}, row1);

    auto* row2 = new QHBoxLayout;
    row2->setSpacing(2);
    for (const ButtonSpec& entry : kRow2)
        makeButton(entry, row2);
    row2->addStretch(1);
    bar.schoolYearSlot = new QHBoxLayout;
    bar.schoolYearSlot->setContentsMargins(0, 0, 0, 0);
    row2->addLayout(bar.schoolYearSlot);

    rows->addLayout(row1);
    rows->addLayout(row2);
    return bar;
}

void attachIconBarToggle(QAction& toggle, QWidget& panel)
{
    auto caption = [&panel, &toggle] {
        toggle.setText(panel.isHidden() ? QStringLiteral("&Iconleiste einblenden")
                                        : QStringLiteral("&Iconleiste ausblenden"));
    };
    caption();
    QObject::connect(&toggle, &QAction::triggered, &panel, [&panel, caption] {
        panel.setVisible(panel.isHidden());
        caption();
    });
}

} // namespace zedora
