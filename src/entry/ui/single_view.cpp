#include "entry/ui/single_view.h"

#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "data/current_student_file.h"
#include "entry/ui/student_navigation.h"

#include <QBoxLayout>
#include <QFrame>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

namespace zedora {

void setGridFonts(MainFrame& frame, int cellPoints, int titlePoints)
{
    for (QTableView* g : {&frame.entryGrid(), &frame.nameGrid()}) {
        QFont cells = g->font();
        cells.setPointSize(std::max(4, cellPoints));
        g->setFont(cells);
        QFont titles = g->horizontalHeader()->font();
        titles.setPointSize(std::max(4, titlePoints));
        g->horizontalHeader()->setFont(titles);
        g->verticalHeader()->setDefaultSectionSize(QFontMetrics(cells).height() + 6);
    }
}

SingleView::SingleView(MainFrame& frame) : QObject(&frame.window()), frame_(frame)
{
    setObjectName(QStringLiteral("singleView"));
    createPanel();
    // A rebuilt table shows the whole class again.
    connect(&frame.studentFile(), &CurrentStudentFile::opened, this, [this] {
        if (on_)
            setOn(false);
    });
}

void SingleView::createPanel()
{
    // The bar stands above the grids on the table page.
    QWidget* page = frame_.pages().widget(0);
    panel19_ = new QFrame(page);
    panel19_->setObjectName(QStringLiteral("Panel19"));
    panel19_->setAutoFillBackground(true);
    if (auto* rows = qobject_cast<QBoxLayout*>(page->layout()))
        rows->insertWidget(0, panel19_);
    auto* l = new QHBoxLayout(panel19_);
    l->setContentsMargins(6, 3, 6, 3);
    const auto button = [this, l](const char* name, const QString& text, auto slot) {
        auto* b = new QPushButton(text, panel19_);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        l->addWidget(b);
    };
    button("EinzelZurueck", QStringLiteral("Zurück"), [this] { step(false); });
    button("EinzelVor", QStringLiteral("Vor"), [this] { step(true); });
    button("EinzelGesamt", QStringLiteral("Zeige gesamte Tabelle"), [this] { setOn(false); });
    button("EinzelPlus", QStringLiteral("+"), [this] { changeFontSize(+2); });
    button("EinzelMinus", QStringLiteral("-"), [this] { changeFontSize(-2); });
    l->addStretch(1);
    panel19_->hide();
}

void SingleView::step(bool forward)
{
    StudentTable& t = frame_.studentFile().table();
    t.restrictToStudent(QString(), QString());
    const bool atEnd = forward ? t.atLast() : t.atFirst();
    if (atEnd) {
        setOn(false);
        return;
    }
    forward ? t.next() : t.prior();
    t.restrictToStudent(t.value(QStringLiteral("NAME")), t.value(QStringLiteral("VORNAME")));
}

void SingleView::changeFontSize(int points)
{
    QTableView& names = frame_.nameGrid();
    const int size = names.font().pointSize();
    if (points > 0 ? size < 20 : size >= 10)
        setGridFonts(frame_, size + points, names.horizontalHeader()->font().pointSize() + points);
    frame_.context().settings.RangeFont = names.font().pointSize();
}

void SingleView::setOn(bool on)
{
    StudentTable& t = frame_.studentFile().table();
    Settings& settings = frame_.context().settings;
    if (on) {
        frame_.pages().setCurrentIndex(0);
        t.setTag(QStringLiteral("NAME"));
        t.restrictToStudent(t.value(QStringLiteral("NAME")), t.value(QStringLiteral("VORNAME")));
        setGridFonts(frame_, settings.RangeFont, settings.RangeFont);
        panel19_->show();
    } else if (on_) {
        t.restrictToStudent(QString(), QString());
        frame_.studentFile().applySortOrder();
        t.first();
        // Standing on the first record, one step back says so at once.
        if (auto* navigation = frame_.window().findChild<StudentNavigation*>())
            navigation->standAtBeginning();
        panel19_->hide();
        settings.RangeFont = frame_.nameGrid().font().pointSize();
        setGridFonts(frame_, 8, 9);
    }
    on_ = on;
}

void installSingleView(MainFrame& frame)
{
    auto* view = new SingleView(frame);
    if (QToolButton* single = frame.iconBar().findChild<QToolButton*>(QStringLiteral("SpeedButton8"))) {
        frame.adminCommands().setAvailable(single, true);
        QObject::connect(single, &QToolButton::clicked, view, [view] { view->setOn(!view->on()); });
    }
    setGridFonts(frame, 8, 9);
}

} // namespace zedora
