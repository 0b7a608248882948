#include "textblocks/ui/TFAlleTBS.h"

#include "textblocks/text_block_file.h"
#include "base/interaction.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zedora {

TFAlleTBS::TFAlleTBS(const QString& text, Interaction& ui, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui_(ui)
{
    setObjectName(QStringLiteral("TFAlleTBS"));
    setWindowTitle(QStringLiteral("Textbausteine    Struktur:  ID;INHALT"));
    resize(760, 480);
    auto* layout = new QVBoxLayout(this);
    memo_ = new QPlainTextEdit(text, this);
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(memo_);
    connect(memo_, &QPlainTextEdit::textChanged, this, [this] { changed_ = true; });

    auto* buttons = new QHBoxLayout;
    auto* help = new QPushButton(QStringLiteral("Hilfe"), this);
    help->setObjectName(QStringLiteral("BitBtn3"));
    auto* discard = new QPushButton(QStringLiteral("Schließen ohne zu speichern"), this);
    discard->setObjectName(QStringLiteral("BitBtn2"));
    auto* save = new QPushButton(QStringLiteral("Speichern und schließen"), this);
    save->setObjectName(QStringLiteral("BitBtn1"));
    for (QPushButton* b : {help, discard, save}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(help, &QPushButton::clicked, this, &TFAlleTBS::HilfeClick);
    connect(discard, &QPushButton::clicked, this, &TFAlleTBS::CloseWithoutSavingClick);
    connect(save, &QPushButton::clicked, this, &TFAlleTBS::SaveClick);
}

QString TFAlleTBS::text() const
{
    return memo_->toPlainText();
}

void TFAlleTBS::HilfeClick()
{
    ui_.info(QStringLiteral("HILFE:\n- Max. 4 Zeichen für ID, dann \";\", dann Textbaustein mit max. 230 Zei.\n"
                            "- Leerzeilen werden ignoriert\n"
                            "- Abschnittsüberschriften: Textbausteininhalt beginnt mit \"=\"\n"
                            "- Sortierung erfolgt automatisch nach Speicherung\n"));
}

void TFAlleTBS::SaveClick()
{
    QStringList cut;
    for (const QString& line : text().split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        const TextBlock b = parseEditorLine(trimmed);
        const qsizetype semicolon = trimmed.indexOf(u';');
        const qsizetype length = b.id == QLatin1String("??") && (semicolon < 0 || semicolon >= 6)
                                     ? trimmed.size()
                                     : trimmed.mid(semicolon + 1).trimmed().size();
        if (length > kBlockTextCapacity)
            cut.append(b.id.isEmpty() ? QStringLiteral("(ohne ID)") : b.id);
    }
    if (!cut.isEmpty()
        && ui_.ask(QStringLiteral("Diese Textbausteine sind länger als 230 Zeichen und werden gekürzt:\n")
                       + cut.join(QStringLiteral(", ")) + QStringLiteral("\nTrotzdem speichern?\n"),
                   Buttons::YesNo) != Answer::Yes)
        return;
    if (saver_ && !saver_(text()))
        return;
    accept();
}

void TFAlleTBS::CloseWithoutSavingClick()
{
    if (changed_
        && ui_.ask(QStringLiteral("Inhalte wurden verändert!\nSoll die Bearbeitung ohne Speicherung beendet werden?\n"),
                   Buttons::YesNoCancel) != Answer::Yes)
        return;
    QDialog::reject();
}

} // namespace zedora
