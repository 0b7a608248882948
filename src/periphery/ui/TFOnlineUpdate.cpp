#include "periphery/ui/TFOnlineUpdate.h"

#include "core/settings.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace zedora {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

TFOnlineUpdate::TFOnlineUpdate(Interaction& ui, WorkspaceFiles& files, const Settings& settings,
                               const QString& programDir, QString workspace, QWidget* parent)
    : QDialog(parent),
      update_(ui, files, downloader_, programDir, settings.WebServerKVB),
      workspace_(std::move(workspace)),
      updaterPath_(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kvbupdate"))),
      openUrl_([](const QUrl& url) { QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("TFOnlineUpdate"));
    setWindowTitle(QStringLiteral("Online - Update"));
    resize(620, 460);
    auto* layout = new QVBoxLayout(this);
    text_ = new QTextEdit(this);
    text_->setObjectName(QStringLiteral("TextBox"));
    text_->setReadOnly(true);
    QPalette p = text_->palette();
    p.setColor(QPalette::Base, settings.secondColour);
    text_->setPalette(p);
    layout->addWidget(text_, 1);
    auto* progressRow = new QHBoxLayout;
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar1"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setFormat(QStringLiteral("%p %"));
    progressRow->addWidget(progress_, 1);
    cancel_ = button(this, "btnAbbrechen", QStringLiteral("Download a&bbrechen"));
    cancel_->setEnabled(false);
    progressRow->addWidget(cancel_);
    layout->addLayout(progressRow);
    auto* buttons = new QHBoxLayout;
    check_ = button(this, "btnPruefung", QStringLiteral("&Prüfung auf neue Version"));
    news_ = button(this, "btnNeuerungen", QStringLiteral("&Neuerungen im Update"));
    download_ = button(this, "btnDownLoad", QStringLiteral("&DownLoad"));
    install_ = button(this, "btnInstallation", QStringLiteral("&Installation"));
    close_ = button(this, "btnBeenden", QStringLiteral("&Beenden"));
    for (QPushButton* b : {check_, news_, download_, install_, close_})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    download_->setEnabled(false);
    install_->setEnabled(false);

    update_.addLine = [this](const MessageLine& line) { addLine(line); };
    update_.clearLines = [this] { text_->clear(); };
    update_.fileStarted = [this](const QString& name) {
        progress_->setValue(0);
        progress_->setFormat(name + QStringLiteral(": %p %"));
    };
    update_.start = [](const QString& program, const QStringList& arguments, const QString& dir) {
        return QProcess::startDetached(program, arguments, dir);
    };
    update_.prepareFolder();

    connect(&downloader_, &UpdateDownloader::progress, this, [this](qint64 received, qint64 total) {
        if (total > 0) {
            progress_->setRange(0, 100);
            progress_->setValue(int(received * 100 / total));
        } else {
            progress_->setRange(0, 0);  // size unknown: busy indicator
        }
    });
    connect(cancel_, &QPushButton::clicked, this, [this] { downloader_.cancel(); });
    connect(check_, &QPushButton::clicked, this, [this] {
        setWorking(true);
        update_.check();
        setWorking(false);
    });
    connect(download_, &QPushButton::clicked, this, [this] {
        setWorking(true);
        update_.download();
        setWorking(false);
        text_->setFocus();
    });
    connect(news_, &QPushButton::clicked, this, [this] { openUrl_(update_.historyAddress()); });
    connect(install_, &QPushButton::clicked, this, [this] {
        if (update_.install(updaterPath_, workspace_)) {
            accept();
            emit closeProgramRequested();
        } else {
            refreshButtons();
        }
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
}

void TFOnlineUpdate::reject()
{
    if (working_) {
        downloader_.cancel();
        return;
    }
    QDialog::reject();
}

void TFOnlineUpdate::addLine(const MessageLine& line)
{
    QTextCharFormat format;
    format.setFontFamilies({QStringLiteral("Arial")});
    format.setFontPointSize(line.points);
    format.setFontWeight(line.bold ? QFont::Bold : QFont::Normal);
    format.setForeground(line.colour);
    QTextCursor cursor(text_->document());
    cursor.movePosition(QTextCursor::End);
    if (!text_->document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(line.text, format);
}

QString TFOnlineUpdate::messageText() const
{
    return text_->toPlainText();
}

void TFOnlineUpdate::setWorking(bool working)
{
    working_ = working;
    if (working) {
        progress_->setRange(0, 100);
        progress_->setValue(0);
    }
    refreshButtons();
}

void TFOnlineUpdate::refreshButtons()
{
    cancel_->setEnabled(working_);
    check_->setEnabled(!working_);
    news_->setEnabled(!working_);
    close_->setEnabled(!working_);
    download_->setEnabled(!working_ && update_.downloadAllowed());
    download_->setText(update_.downloadCaption());
    install_->setEnabled(!working_ && update_.installAllowed());
}

} // namespace zedora
