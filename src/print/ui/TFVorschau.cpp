#include "print/ui/TFVorschau.h"

#include "core/settings.h"
#include "base/interaction.h"
#include "print/list_job.h"
#include "print/painter_surface.h"
#include "print/pdf_file_name.h"
#include "print/printer_output.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

namespace zedora {

namespace {
constexpr int kPanelWidth = 84;
constexpr int kJobWithoutPageLabel = 19;
}

// The client area behind the panel: shadow, paper and the drawing area.
class PreviewPage : public QWidget {
public:
    explicit PreviewPage(TFVorschau& owner) : QWidget(&owner), owner_(owner)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(128, 128, 128));
        const TFVorschau::Geometry g = owner_.pageGeometry();
        p.fillRect(g.paper.translated(6, 6), QColor(64, 64, 64));
        p.fillRect(g.paper, Qt::white);
        p.drawImage(g.drawingArea.topLeft(), owner_.pageImage());
    }

private:
    TFVorschau& owner_;
};

PreviewJob reportCardJob(const TDruckLayout& layout, const PrintMetrics& metrics, RenderOptions options,
                         PlaceholderContext context, PrintRecords& records, const PrintRun& run,
                         const QString& klasse, const QString& schuljahr)
{
    PreviewJob job;
    job.kind = JobKind::ReportCards;
    job.title = jobTitle(JobKind::ReportCards, klasse, schuljahr);
    job.klasse = klasse;
    job.schuljahr = schuljahr;
    job.landscape = jobLandscape(JobKind::ReportCards, layout);
    job.paperA4 = layout.PapierA4;
    job.renderer = std::make_shared<PageRenderer>(layout, metrics, std::move(options), context);
    job.records = &records;
    job.run = run;
    return job;
}

TFVorschau::TFVorschau(Settings& settings, Interaction& ui, PrintMetrics& metrics, QWidget* mainWindow)
    : QDialog(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), settings_(settings), ui_(ui),
      metrics_(metrics), mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("FVorschau"));
    setWindowTitle(QStringLiteral("Druckvorschau - "));
    setGeometry(10, 10, 10, 10);
    setFocusPolicy(Qt::StrongFocus);
    view_ = new PreviewPage(*this);
    buildControls();
    printDialog = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
}

TFVorschau::~TFVorschau() = default;

void TFVorschau::buildControls()
{
    panel_ = new QFrame(this);
    panel_->setObjectName(QStringLiteral("Panel1"));
    panel_->setAutoFillBackground(true);
    QPalette pal = panel_->palette();
    pal.setColor(QPalette::Window, settings_.firstColour);
    panel_->setPalette(pal);
    auto* layout = new QVBoxLayout(panel_);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);

    auto button = [&](const char* name, const QString& caption, const QString& hint,
                      std::function<void()> action) {
        auto* b = new QToolButton(panel_);
        b->setObjectName(QLatin1String(name));
        b->setText(caption);
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumWidth(34);
        connect(b, &QToolButton::clicked, this, [this, action] {
            if (!printing_)
                action();
        });
        return b;
    };
    auto* nav = new QGridLayout;
    nav->setSpacing(2);
    nav->addWidget(button("SpeedButton6", QStringLiteral("|<"), QStringLiteral("1. Seite"),
                          [this] { if (inputTakenOver()) showPage(1); }), 0, 0);
    nav->addWidget(button("SpeedButton7", QStringLiteral(">|"), QStringLiteral("Letzte Seite"),
                          [this] { if (inputTakenOver()) showPage(total_); }), 0, 1);
    nav->addWidget(button("SpeedButton4", QStringLiteral("<"), QStringLiteral("Vorige Seite"),
                          [this] { if (inputTakenOver()) showPage(page_ - 1); }), 1, 0);
    nav->addWidget(button("SpeedButton5", QStringLiteral(">"), QStringLiteral("Nächste Seite"),
                          [this] { if (inputTakenOver()) showPage(page_ + 1); }), 1, 1);
    nav->addWidget(button("SpeedButton1", QStringLiteral("▲"),
                          QStringLiteral("Nach oben blättern (Bild auf-Taste oder Scrollrad)"),
                          [this] { if (scroll_ < 0) setScroll(scroll_ + 50, false); }), 2, 0);
    nav->addWidget(button("SpeedButton8", QStringLiteral("▼"),
                          QStringLiteral("Nach unten blättern (Bild ab-Taste oder Scrollrad)"),
                          [this] { setScroll(scroll_ - 50, false); }), 2, 1);
    nav->addWidget(button("SpeedButton3", QStringLiteral("−"), QStringLiteral("Verkleinern"),
                          [this] { setZoom(zoom_ - 100); }), 3, 0);
    nav->addWidget(button("SpeedButton2", QStringLiteral("+"), QStringLiteral("Vergrößern"),
                          [this] { setZoom(zoom_ + 100); }), 3, 1);
    nav->addWidget(button("SpeedButton9", QStringLiteral("▫"),
                          QStringLiteral("Seite im kleinen Fenster oben rechts"),
                          [this] { smallLayout(); }), 4, 0);
    nav->addWidget(button("SpeedButton11", QStringLiteral("□"), QStringLiteral("Vorschau Großbild"),
                          [this] { largeLayout(); }), 4, 1);
    layout->addLayout(nav);

    label1_ = new QLabel(panel_);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setAlignment(Qt::AlignCenter);
    label1_->setWordWrap(true);
    layout->addWidget(label1_);

    QToolButton* raster = button("SpeedButton10", QStringLiteral("Raster e/a"), QStringLiteral("Raster e/a"),
                                 [this] {
                                     if (!inputTakenOver())
                                         return;
                                     raster_ = !raster_;
                                     record();
                                 });
    layout->addWidget(raster);

    druckbutton_ = new QPushButton(QStringLiteral("Drucken"), panel_);
    druckbutton_->setObjectName(QStringLiteral("druckbutton"));
    druckbutton_->setToolTip(QStringLiteral("Drucken"));
    druckbutton_->setFocusPolicy(Qt::NoFocus);
    connect(druckbutton_, &QPushButton::clicked, this, [this] { print(); });
    layout->addWidget(druckbutton_);

    // The caption breaks after "Einzelseiten-" as it is written.
    coDrBox_ = new QCheckBox(panel_);
    coDrBox_->setObjectName(QStringLiteral("CoDrBox"));
    coDrBox_->setFocusPolicy(Qt::NoFocus);
    // Choosing how to print comes just before printing: the page shows the
    // value still being typed by then.
    connect(coDrBox_, &QCheckBox::clicked, this, [this] { inputTakenOver(); });
    label3_ = new QLabel(QStringLiteral("Einzelseiten- druck"), panel_);
    label3_->setObjectName(QStringLiteral("Label3"));
    label3_->setWordWrap(true);
    label3_->setBuddy(coDrBox_);
    layout->addWidget(coDrBox_, 0, Qt::AlignHCenter);
    layout->addWidget(label3_);

    QToolButton* stretch = button("SpeedButton13", QStringLiteral("Streckung"), QStringLiteral("Streckung"),
                                  [this] {
                                      if (!inputTakenOver())
                                          return;
                                      settings_.streckungGewuenscht = !settings_.streckungGewuenscht;
                                      record();
                                  });
    stretch->hide();
    layout->addWidget(stretch);
    factorLabel_ = new QLabel(panel_);
    factorLabel_->setObjectName(QStringLiteral("Label2"));
    factorLabel_->hide();
    layout->addWidget(factorLabel_);

    layout->addStretch(1);
    auto* close = new QToolButton(panel_);
    close->setObjectName(QStringLiteral("SpeedButton12"));
    close->setText(QStringLiteral("&Schließen"));
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QToolButton::clicked, this, [this] { this->close(); });
    layout->addWidget(close);
}

QRect TFVorschau::mainGeometry() const
{
    if (mainWindow_)
        return mainWindow_->frameGeometry();
    if (const QScreen* s = QGuiApplication::primaryScreen())
        return s->availableGeometry();
    return QRect(0, 0, 1024, 768);
}

void TFVorschau::largeLayout()
{
    const QRect m = mainGeometry();
    smallMode_ = false;
    setGeometry(m.left() + 20, m.top() + 10, std::max(200, m.width() - 40), std::max(200, m.height() - 80));
    zoom_ = 0;
    scroll_ = 0;
    update();
}

void TFVorschau::smallLayout()
{
    const QRect m = mainGeometry();
    smallMode_ = true;
    setGeometry(m.left() + m.width() - 610, m.top() + 20, 600, job_.landscape ? 400 : 454);
    zoom_ = 0;
    update();
}

void TFVorschau::showJob(PreviewJob job, bool modal, bool smallWindow)
{
    job_ = std::move(job);
    closed_ = false;
    const bool reportCards = job_.kind == JobKind::ReportCards;
    rememberedContidruck_ = settings_.Contidruck;
    coDrBox_->setVisible(reportCards);
    label3_->setVisible(reportCards);
    coDrBox_->setChecked(reportCards && settings_.Contidruck);
    if (!reportCards)
        settings_.Contidruck = false;

    page_ = 1;
    // The printer the job would go to decides where its printable area lies;
    // without one the sheet is printed whole, as into a PDF file.
    paperMm_ = job_.paperA4 ? QSizeF(210, 297) : QSizeF(297, 420);
    if (job_.landscape)
        paperMm_.transpose();
    offsetMm_ = QPointF(0, 0);
    printableMm_ = paperMm_;
    const QString printerName = jobPrinter(settings_);
    if (!printerName.isEmpty()) {
        QPrinter printer;
        printer.setPrinterName(printerName);
        printer.setPageOrientation(job_.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        const QRectF full = printer.pageLayout().fullRect(QPageLayout::Millimeter);
        const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Millimeter);
        if (full.width() > 0 && paint.width() > 0) {
            offsetMm_ = paint.topLeft() - full.topLeft();
            printableMm_ = paint.size();
        }
    }

    smallMode_ = smallWindow;
    if (smallMode_) {
        smallLayout();
    } else {
        const bool l = job_.landscape;
        const QRect saved = l ? QRect(settings_.vquerx, settings_.vquery, settings_.vquerbreite, settings_.vquerhoehe)
                              : QRect(settings_.vx, settings_.vy, settings_.vbreite, settings_.vhoehe);
        if (saved.width() < 150 || saved.height() < 150)
            largeLayout();
        else
            setGeometry(saved);
    }
    zoom_ = 0;
    scroll_ = 0;
    setWindowTitle(QStringLiteral("Druckvorschau - ") + job_.title);
    factorLabel_->setText(QString::number(metrics_.fontFactor()));
    record();
    if (modal) {
        exec();
    } else {
        show();
        raise();
        activateWindow();
    }
}

void TFVorschau::rebuild()
{
    if (!closed_)
        record();
}

void TFVorschau::record()
{
    recording_ = std::make_unique<RecordingSurface>();
    total_ = 0;
    if (job_.draw) {
        BusyScope busy(ui_);
        total_ = job_.draw(*recording_, metrics_);
    } else if (job_.renderer && job_.records) {
        BusyScope busy(ui_);
        RenderOptions& o = job_.renderer->options();
        const RenderOptions saved = o;
        o.preview = true;
        o.raster = raster_;
        o.pageToShow = 0;
        o.landscape = job_.landscape;
        o.streckung = settings_.streckungGewuenscht;
        total_ = job_.renderer->render(*recording_, *job_.records, job_.run);
        o = saved;
        o.raster = raster_;
    }
    if (job_.run.selection == RecordSelection::Selection)
        total_ = int(job_.run.ids.size());
    page_ = std::clamp(page_, 1, std::max(1, total_));
    cachePage_ = 0;
    updateLabel();
    update();
    view_->update();
}

bool TFVorschau::inputTakenOver()
{
    return !takeOverInput || takeOverInput();
}

void TFVorschau::updateLabel()
{
    if (job_.kind == kJobWithoutPageLabel)
        label1_->clear();
    else
        label1_->setText(QString::number(page_) + QStringLiteral(". von ") + QString::number(total_));
}

void TFVorschau::showPage(int page)
{
    const int p = std::clamp(page, 1, std::max(1, total_));
    if (p == page_)
        return;
    page_ = p;
    updateLabel();
    view_->update();
}

void TFVorschau::setScroll(int v, bool limited)
{
    if (v > 0)
        v = 0;
    if (limited && v < -width())
        return;
    if (v == scroll_)
        return;
    scroll_ = v;
    view_->update();
}

void TFVorschau::setZoom(int z)
{
    // The page keeps at least a hundred pixels.
    if (width() - 85 + z < 100)
        return;
    zoom_ = z;
    view_->update();
}

TFVorschau::Geometry TFVorschau::pageGeometry() const
{
    Geometry g;
    const int p = kPanelWidth;
    const int w = std::max(100, width() - 85 + zoom_);
    const int h = int(std::lround(w * paperMm_.height() / paperMm_.width()));
    const QPoint origin(p - int(std::lround(p / 16.0)), scroll_ - 2);
    g.paper = QRect(origin + QPoint(20, 20), QSize(w, h));
    const double s = h / paperMm_.height(); // pixels per millimetre
    g.pixelsPerUnit = s / 10.0;
    g.drawingArea = QRect(g.paper.topLeft() + QPoint(int(std::lround(offsetMm_.x() * s)), int(std::lround(offsetMm_.y() * s))),
                          QSize(int(std::lround(printableMm_.width() * s)), int(std::lround(printableMm_.height() * s))));
    return g;
}

QImage TFVorschau::pageImage()
{
    const Geometry g = pageGeometry();
    if (cachePage_ == page_ && cacheSize_ == g.drawingArea.size() && !cache_.isNull())
        return cache_;
    QImage img(g.drawingArea.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    img.fill(Qt::white);
    if (recording_) {
        QPainter painter(&img);
        PainterSurface surface(painter, metrics_, g.pixelsPerUnit);
        recording_->replay(page_, surface);
    }
    cache_ = img;
    cachePage_ = page_;
    cacheSize_ = g.drawingArea.size();
    return cache_;
}

void TFVorschau::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    view_->setGeometry(rect());
    panel_->setGeometry(0, 0, kPanelWidth, height());
    panel_->raise();
}

void TFVorschau::keyPressEvent(QKeyEvent* event)
{
    if (printing_)
        return;
    switch (event->key()) {
    case Qt::Key_PageDown: setScroll(scroll_ - 150, true); break;
    case Qt::Key_PageUp: setScroll(scroll_ + 150, true); break;
    case Qt::Key_Up: setScroll(scroll_ + 50, true); break;
    case Qt::Key_Down: setScroll(scroll_ - 50, true); break;
    case Qt::Key_Escape: close(); break;
    default: QDialog::keyPressEvent(event); return;
    }
    event->accept();
}

void TFVorschau::wheelEvent(QWheelEvent* event)
{
    if (printing_)
        return;
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        setScroll(scroll_ + 30 * notches, true);
    event->accept();
}

void TFVorschau::print()
{
    if (printing_ || (!job_.draw && (!job_.renderer || !job_.records)))
        return;
    // A grade typed into the main window while the preview is open belongs
    // on the report card.
    if (!inputTakenOver())
        return;
    const bool reportCards = job_.kind == JobKind::ReportCards;
    if (reportCards)
        settings_.Contidruck = coDrBox_->isChecked();
    if (!hasPrinters())
        ui_.info(QString::fromUtf8(kNoPrinterMessage));
    QPrinter printer(QPrinter::HighResolution);
    const QString name = jobPrinter(settings_);
    TDruckLayout paper;
    paper.PapierA4 = job_.paperA4;
    setUpPrinter(printer, paper, job_.landscape, name, QString());
    printer.setDocName(job_.title);
    // Without a printer the dialog can only write a PDF file. The name it
    // would make from the title may hold a "/" of the school year; it gets a
    // valid name in the half-year's document folder instead.
    if (!hasPrinters())
        printer.setOutputFileName(proposedPdfPath(settings_.NotenDatei, job_.title, workspaceFiles_));
    if (!printDialog || !printDialog(printer))
        return;
    const bool toPdf = printer.outputFormat() == QPrinter::PdfFormat;
    const QString pdfPath = toPdf ? printer.outputFileName() : QString();
    if (toPdf) {
        if (pdfPath.trimmed().isEmpty()) {
            ui_.error(QStringLiteral("Für die PDF-Datei wurde kein Name angegeben!"));
            return;
        }
        // A PDF file is drawn from the sheet corner, as zedora-cli pdf does.
        printer.setFullPage(true);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    printing_ = true;
    PrintOutcome outcome;
    {
        BusyScope busy(ui_);
        const QString klasse = job_.klasse, sj = job_.schuljahr;
        if (job_.draw) {
            outcome = printListJob(printer, ListJob{job_.kind, job_.title, job_.landscape, job_.draw}, metrics_);
        } else {
            job_.renderer->options().raster = raster_;
            outcome = printRun(printer, *job_.renderer, *job_.records, job_.run, metrics_,
                               reportCards && settings_.Contidruck,
                               [klasse, sj](int page) { return singlePageJobTitle(klasse, sj, page); });
        }
    }
    if (!outcome.ok) {
        if (toPdf)
            ui_.error(QStringLiteral("Die PDF-Datei\n\"") + QDir::toNativeSeparators(pdfPath)
                      + QStringLiteral("\"\nkonnte nicht geschrieben werden!"));
        else
            ui_.error(QStringLiteral("Der Druck konnte nicht ausgeführt werden!"));
    }
    printing_ = false;
    cachePage_ = 0;
    view_->update();
}

void TFVorschau::closing()
{
    if (closed_)
        return;
    closed_ = true;
    printing_ = false;
    const QRect g = geometry();
    if (job_.landscape) {
        settings_.vquerx = g.x();
        settings_.vquery = g.y();
        settings_.vquerbreite = g.width();
        settings_.vquerhoehe = g.height();
    } else {
        settings_.vx = g.x();
        settings_.vy = g.y();
        settings_.vbreite = g.width();
        settings_.vhoehe = g.height();
    }
    smallMode_ = false;
    if (job_.kind == JobKind::ReportCards)
        settings_.Contidruck = coDrBox_->isChecked();
    else
        settings_.Contidruck = rememberedContidruck_;
}

void TFVorschau::closeEvent(QCloseEvent* event)
{
    closing();
    QDialog::closeEvent(event);
}

void TFVorschau::done(int result)
{
    closing();
    QDialog::done(result);
}

} // namespace zedora
