#include "app/ui/main_window_panels.h"

#include "core/ui/help_line.h"
#include "core/ui/progress_panel.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QStyle>
#include <QToolButton>
#include <vector>

namespace zedora {

namespace {

QToolButton* toolButton(const char* name, const QString& text, const QString& hint, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setToolTip(hint.isEmpty() ? text : hint);
    b->setAutoRaise(true);
    return b;
}

QLabel* label(const char* name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

QFrame* makePanel(const char* name, QWidget* parent)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setAutoFillBackground(true);
    return f;
}

NavigationPanel buildNavigationPanel(QWidget* parent)
{
    NavigationPanel result;
    QFrame* p5 = result.panel = makePanel("Panel5", parent);
    QStyle* style = p5->style();
    auto* l = new QHBoxLayout(p5);
    l->setContentsMargins(6, 3, 6, 3);
    l->setSpacing(2);
    struct Nav {
        const char* name;
        QStyle::StandardPixmap icon;
        const char* hint;
    };
    const Nav nav[] = {{"erster", QStyle::SP_MediaSkipBackward, "Erster Schüler"},
                       {"zur", QStyle::SP_MediaSeekBackward, "Vorheriger Schüler"},
                       {"vor", QStyle::SP_MediaSeekForward, "Nächster Schüler"},
                       {"letzter", QStyle::SP_MediaSkipForward, "Letzter Schüler"}};
    for (const Nav& n : nav) {
        QToolButton* b = toolButton(n.name, QString(), QString::fromUtf8(n.hint), p5);
        b->setIcon(style->standardIcon(n.icon));
        b->setEnabled(false);
        l->addWidget(b);
    }
    QToolButton* info = toolButton("SpeedButton12", QString(), QStringLiteral("Spalteninformation"), p5);
    info->setIcon(style->standardIcon(QStyle::SP_MessageBoxInformation));
    info->setEnabled(false);
    l->addWidget(info);
    for (const auto& [name, text] : {std::pair{"btnabbr", "Abbruch"}, std::pair{"btnspei", "Speichern"}}) {
        QToolButton* b = toolButton(name, QLatin1String(text), QString(), p5);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setEnabled(false);
        l->addWidget(b);
    }
    QToolButton* refresh = toolButton("SpeedButton13", QString(), QStringLiteral("Tabellenrefresh"), p5);
    refresh->setIcon(style->standardIcon(QStyle::SP_BrowserReload));
    refresh->setEnabled(false);
    l->addWidget(refresh);
    l->addSpacing(12);
    QLabel* name = result.student = label("L_name", QString(), p5);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    name->setFont(bold);
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    l->addWidget(name, 1);
    QLabel* cls = result.className = label("klassenbez", QString(), p5);
    cls->setFont(bold);
    l->addWidget(cls);
    l->addSpacing(12);
    result.studentCount = label("L_Klasse", QString(), p5);
    l->addWidget(result.studentCount);
    return result;
}

FilePanel buildFilePanel(QWidget* parent)
{
    FilePanel result;
    QFrame* p7 = result.panel = makePanel("Panel7", parent);
    p7->setMinimumWidth(170);
    p7->setMaximumWidth(220);
    auto* l = new QVBoxLayout(p7);
    l->setContentsMargins(4, 4, 4, 4);
    QFrame* p11 = makePanel("Panel11", p7);
    auto* l11 = new QVBoxLayout(p11);
    l11->setContentsMargins(4, 4, 4, 4);
    QLabel* title = label("Panel11Text", QStringLiteral("Schülerdatei"), p11);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    l11->addWidget(title);
    l->addWidget(p11);
    result.files = new QListWidget(p7);
    result.files->setObjectName(QStringLiteral("dateienbox"));
    l->addWidget(result.files, 1);
    return result;
}

StatusPanel buildStatusPanel(QWidget* parent)
{
    StatusPanel result;
    QFrame* p2 = result.panel = makePanel("Panel2", parent);
    QStyle* style = p2->style();
    auto* l = new QHBoxLayout(p2);
    l->setContentsMargins(4, 2, 4, 2);
    l->setSpacing(4);
    const char* const status[][2] = {{"spDatei", "Schülerdatei"},
                                     {"spTBS", "Textbausteine"},
                                     {"spLayout", "Layout"},
                                     {"spFDF", "Spaltenlayout"}};
    std::vector<QWidget*> statusButtons;
    for (const auto& s : status) {
        QToolButton* b = toolButton(s[0], QString::fromUtf8(s[1]), QString(), p2);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setEnabled(false);
        l->addWidget(b);
        statusButtons.push_back(b);
    }
    // Only the button of the direction in force can be pressed; it switches
    // to the other one.
    QToolButton* down = toolButton("EditUnten", QString(),
                                   QStringLiteral("Eingaberichtung vertikal – umschalten auf horizontal"), p2);
    down->setIcon(style->standardIcon(QStyle::SP_ArrowDown));
    QToolButton* right = toolButton("EditRechts", QString(),
                                    QStringLiteral("Eingaberichtung horizontal – umschalten auf vertikal"), p2);
    right->setIcon(style->standardIcon(QStyle::SP_ArrowRight));
    l->addWidget(down);
    l->addWidget(right);
    result.abbreviationFile = label("Label5", QStringLiteral("Kürzeldatei: "), p2);
    l->addWidget(result.abbreviationFile);
    result.progress = new ProgressPanel(statusButtons, p2);
    l->addWidget(result.progress, 1);
    auto* help = new ElidedLabel(p2);
    result.help = help;
    help->setObjectName(QStringLiteral("hilfe"));
    help->setAutoFillBackground(true);
    help->setMinimumHeight(22);
    help->setIndent(6);
    // A long help text ends in "…", it must not widen the window.
    help->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    l->addWidget(help, 1);
    return result;
}

} // namespace zedora
