#include "schoolyear/ui/history_side_panel.h"

#include "schoolyear/ui/history_photo.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace zedora {

namespace {

const QString kNavigationHint =
    QStringLiteral("Nächster  mit   L E E R T A S T E  oder E N T E R,  zurück mit   B A C K S P A C E ");

} // namespace

HistorySidePanel::HistorySidePanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Panel2"));
    setFixedWidth(190);
    auto* layout = new QVBoxLayout(this);
    clock_ = new QLabel(this);
    clock_->setObjectName(QStringLiteral("Uhrzeit"));
    clock_->setAlignment(Qt::AlignCenter);
    QFont big = clock_->font();
    big.setPointSize(14);
    big.setBold(true);
    clock_->setFont(big);
    layout->addWidget(clock_);
    clockTimer_ = new QTimer(this);
    clockTimer_->setInterval(1000);
    connect(clockTimer_, &QTimer::timeout, this, &HistorySidePanel::tick);

    fileName_ = new QLineEdit(this);
    fileName_->setObjectName(QStringLiteral("Edit1"));
    fileName_->setReadOnly(true);
    fileName_->setToolTip(QStringLiteral("Andere Schülerdatei öffnen"));
    fileName_->installEventFilter(this);
    layout->addWidget(fileName_);

    auto* navigation = new QHBoxLayout;
    const auto navButton = [&](const char* name, Qt::ArrowType arrow, const QString& hint,
                               void (HistorySidePanel::*clicked)()) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setArrowType(arrow);
        b->setToolTip(hint);
        navigation->addWidget(b);
        connect(b, &QToolButton::clicked, this, clicked);
    };
    navButton("btErster", Qt::UpArrow, QStringLiteral("Erster Schüler"), &HistorySidePanel::firstClicked);
    navButton("btVorheriger", Qt::LeftArrow, QStringLiteral("Vorheriger Schüler"), &HistorySidePanel::priorClicked);
    navButton("btNaechster", Qt::RightArrow, QStringLiteral("Nächster Schüler"), &HistorySidePanel::nextClicked);
    navButton("btLetzter", Qt::DownArrow, QStringLiteral("Letzter Schüler"), &HistorySidePanel::lastClicked);
    layout->addLayout(navigation);

    names_ = new QListWidget(this);
    names_->setObjectName(QStringLiteral("suchbox"));
    names_->setToolTip(kNavigationHint);
    layout->addWidget(names_, 1);
    connect(names_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { emit nameClicked(item->text()); });

    const auto button = [&](const char* name, const QString& text, void (HistorySidePanel::*clicked)()) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        layout->addWidget(b);
        connect(b, &QPushButton::clicked, this, clicked);
        return b;
    };
    switch_ = button("tabschalter", QString(), &HistorySidePanel::switchClicked);
    setSwitchToClassTable(true);
    button("btEinstellungen", QStringLiteral("&Einstellungen"), &HistorySidePanel::settingsClicked);
    button("btAktualisieren", QStringLiteral("&Aktualisieren"), &HistorySidePanel::refreshClicked);
    button("btSchliessen", QStringLiteral("&Schließen"), &HistorySidePanel::closeClicked);

    photo_ = new HistoryPhoto(this);
    layout->addWidget(photo_, 0, Qt::AlignHCenter);
}

void HistorySidePanel::setFileName(const QString& name)
{
    fileName_->setText(name);
}

void HistorySidePanel::setNames(const QStringList& names)
{
    const QSignalBlocker block(names_);
    names_->clear();
    names_->addItems(names);
}

void HistorySidePanel::selectName(const QString& entry)
{
    const QSignalBlocker block(names_);
    for (int i = 0; i < names_->count(); ++i) {
        if (names_->item(i)->text().trimmed() == entry.trimmed()) {
            names_->setCurrentRow(i);
            return;
        }
    }
}

void HistorySidePanel::setSwitchToClassTable(bool toClassTable)
{
    switch_->setText(toClassTable ? QStringLiteral("Umschalten\nKlassentabelle")
                                  : QStringLiteral("Umschalten\nEinzeltabelle"));
}

void HistorySidePanel::runClock(bool on)
{
    if (on) {
        tick();
        clockTimer_->start();
    } else {
        clockTimer_->stop();
    }
}

void HistorySidePanel::tick()
{
    clock_->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

bool HistorySidePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fileName_ && event->type() == QEvent::MouseButtonPress) {
        emit fileNameClicked();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace zedora
