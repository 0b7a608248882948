#include "app/ui/TFpasswort.h"

#include "core/app_version.h"
#include "app/ui/icon_bar.h"
#include "app/ui/password_prompts.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zedora {

TFpasswort::TFpasswort(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFpasswort"));
    setWindowTitle(QStringLiteral("Zedora - Zeugnisprogramm"));
    setModal(true);

    auto* product = new QLabel(QStringLiteral("Zedora"), this);
    product->setObjectName(QStringLiteral("productLabel"));
    QFont productFont = product->font();
    productFont.setPointSizeF(productFont.pointSizeF() * 2.0);
    productFont.setBold(true);
    product->setFont(productFont);

    auto* version = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(kVersionText), this);
    version->setObjectName(QStringLiteral("versionLabel"));
    auto* number = new QLabel(QStringLiteral("Versionsnummer ") + QString::number(kVersionNumber), this);
    number->setObjectName(QStringLiteral("versionNumberLabel"));
    number->setForegroundRole(QPalette::PlaceholderText);

    auto* icon = new QLabel(this);
    icon->setPixmap(glyphIcon(Glyph::Lock).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto* header = new QGridLayout;
    header->addWidget(icon, 0, 0, 3, 1);
    header->addWidget(product, 0, 1);
    header->addWidget(version, 1, 1);
    header->addWidget(number, 2, 1);
    header->setColumnStretch(1, 1);
    header->setHorizontalSpacing(16);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* prompt = new QLabel(QStringLiteral("Kennwort eingeben:"), this);
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("Password"));
    setUpPasswordField(*password_, 10);
    prompt->setBuddy(password_);

    QDialogButtonBox* buttons = passwordDialogButtons(*this, QStringLiteral("&OK"), QStringLiteral("&Abbruch"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(12);
    layout->addLayout(header);
    layout->addWidget(line);
    layout->addWidget(prompt);
    layout->addWidget(password_);
    layout->addWidget(buttons);
    setMinimumWidth(360);
    password_->setFocus();
}

QString TFpasswort::entry() const
{
    return password_->text();
}

} // namespace zedora
