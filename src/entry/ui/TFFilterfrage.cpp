#include "entry/ui/TFFilterfrage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zedora {

namespace {
constexpr int kMaxFilterValue = 40;
}

TFFilterfrage::TFFilterfrage(const QString& caption, const QString& value, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFFilterfrage"));
    setWindowTitle(QStringLiteral("Filterwert angeben"));
    auto* l = new QVBoxLayout(this);
    label_ = new QLabel(QStringLiteral("Datenfeld \"") + caption.trimmed() + QStringLiteral("\" enthält ..."), this);
    label_->setObjectName(QStringLiteral("Label1"));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit1"));
    edit_->setMaxLength(kMaxFilterValue);
    edit_->setText(value.trimmed().left(kMaxFilterValue));
    l->addWidget(label_);
    l->addWidget(edit_);
    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](const char* name, const QString& text, Choice choice) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, choice] {
            choice_ = choice;
            if (choice == Cancel)
                reject();
            else
                accept();
        });
        buttons->addWidget(b);
        return b;
    };
    button("BitBtn1", QStringLiteral("&Aktivieren"), Activate)->setDefault(true);
    button("BitBtn2", QStringLiteral("&Zurücksetzen"), Reset);
    button("BitBtn3", QStringLiteral("&Abbruch"), Cancel);
    l->addLayout(buttons);
    edit_->setFocus();
    edit_->selectAll();
}

QString TFFilterfrage::filterValue() const
{
    return edit_->text().trimmed();
}

} // namespace zedora
