#include "entry/ui/Tspalteninfo.h"

#include "entry/column_info.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zedora {

QColor Tspalteninfo::presentColour()
{
    return QColor(0, 128, 0);
}

QColor Tspalteninfo::missingColour()
{
    return QColor(255, 0, 0);
}

Tspalteninfo::Tspalteninfo(const ColumnInfo& info, bool administrator, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("spalteninfo"));
    setWindowTitle(QStringLiteral("Spalteninformation"));
    setModal(true);

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(12, 12, 12, 12);
    l->setSpacing(8);
    const auto label = [this](const char* name, const QString& text) {
        auto* w = new QLabel(text, this);
        w->setObjectName(QLatin1String(name));
        // Captions and layout names come from files; never read them as markup.
        w->setTextFormat(Qt::PlainText);
        return w;
    };
    QLabel* number = label("Label1", info.number);
    QFont bold = number->font();
    bold.setBold(true);
    number->setFont(bold);
    l->addWidget(number);

    auto* pairs = new QGridLayout;
    pairs->setHorizontalSpacing(12);
    pairs->addWidget(label("Label2", QStringLiteral("Spaltenüberschrift")), 0, 0);
    QLabel* caption = label("Label3", info.caption);
    caption->setFont(bold);
    pairs->addWidget(caption, 0, 1);
    pairs->addWidget(label("Label4", QStringLiteral("Variablenname:")), 1, 0);
    QLabel* placeholder = label("Label5", info.placeholder);
    placeholder->setFont(bold);
    pairs->addWidget(placeholder, 1, 1);
    pairs->setColumnStretch(1, 1);
    l->addLayout(pairs);

    // The two pieces of the notice read as one sentence over two lines.
    l->addWidget(label("Label6", info.masterData.join(QLatin1Char('\n'))));

    QLabel* presence = label("Label7", info.presence);
    QPalette p = presence->palette();
    p.setColor(QPalette::WindowText, info.inLayout ? presentColour() : missingColour());
    presence->setPalette(p);
    presence->setFont(bold);
    l->addWidget(presence);
    l->addWidget(label("Label8", info.layout));
    l->addStretch(1);

    auto* buttons = new QHBoxLayout;
    auto* close = new QPushButton(QStringLiteral("&Schließen"), this);
    close->setObjectName(QStringLiteral("BitBtn1"));
    close->setDefault(true);
    auto* edit = new QPushButton(QStringLiteral("&Layout bearbeiten"), this);
    edit->setObjectName(QStringLiteral("BitBtn2"));
    edit->setAutoDefault(false);
    edit->setEnabled(administrator);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(edit, &QPushButton::clicked, this, [this] {
        editLayout_ = true;
        accept();
    });
    buttons->addStretch(1);
    buttons->addWidget(edit);
    buttons->addWidget(close);
    l->addLayout(buttons);
    setMinimumWidth(520);
}

} // namespace zedora
