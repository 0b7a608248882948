#include "textblocks/ui/TFRechtschreibung.h"

#include "textblocks/spelling_session.h"
#include "base/interaction.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace zedora {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TFRechtschreibung::TFRechtschreibung(SpellingSession& session, Interaction& ui, QWidget* parent)
    : QDialog(parent), session_(session), ui_(ui)
{
    setObjectName(QStringLiteral("TFRechtschreibung"));
    setWindowTitle(QStringLiteral("Rechtschreibprüfung"));
    resize(560, 360);

    auto* grid = new QGridLayout(this);
    word_ = new QLabel(this);
    word_->setObjectName(QStringLiteral("LabelWort"));
    grid->addWidget(word_, 0, 0, 1, 2);

    context_ = new QTextEdit(this);
    context_->setObjectName(QStringLiteral("Kontext"));
    context_->setReadOnly(true);
    grid->addWidget(context_, 1, 0);

    auto* right = new QVBoxLayout;
    auto* ersetzen = button(this, "BtnErsetzen", QStringLiteral("&Ersetzen"));
    auto* alleErsetzen = button(this, "BtnAlleErsetzen", QStringLiteral("Alle e&rsetzen"));
    auto* ignorieren = button(this, "BtnIgnorieren", QStringLiteral("&Ignorieren"));
    auto* alleIgnorieren = button(this, "BtnAlleIgnorieren", QStringLiteral("Alle i&gnorieren"));
    auto* hinzufuegen = button(this, "BtnHinzufuegen", QStringLiteral("&Hinzufügen"));
    auto* beenden = button(this, "BtnBeenden", QStringLiteral("&Beenden"));
    for (QPushButton* b : {ersetzen, alleErsetzen, ignorieren, alleIgnorieren, hinzufuegen})
        right->addWidget(b);
    right->addStretch();
    right->addWidget(beenden);
    grid->addLayout(right, 1, 1, 4, 1);

    grid->addWidget(new QLabel(QStringLiteral("Ersetzen durch:"), this), 2, 0);
    replacement_ = new QLineEdit(this);
    replacement_->setObjectName(QStringLiteral("EdErsetzen"));
    grid->addWidget(replacement_, 3, 0);
    suggestions_ = new QListWidget(this);
    suggestions_->setObjectName(QStringLiteral("Vorschlaege"));
    grid->addWidget(suggestions_, 4, 0);

    connect(ersetzen, &QPushButton::clicked, this, &TFRechtschreibung::BtnErsetzenClick);
    connect(alleErsetzen, &QPushButton::clicked, this, &TFRechtschreibung::BtnAlleErsetzenClick);
    connect(ignorieren, &QPushButton::clicked, this, &TFRechtschreibung::BtnIgnorierenClick);
    connect(alleIgnorieren, &QPushButton::clicked, this, &TFRechtschreibung::BtnAlleIgnorierenClick);
    connect(hinzufuegen, &QPushButton::clicked, this, &TFRechtschreibung::BtnHinzufuegenClick);
    connect(beenden, &QPushButton::clicked, this, &QDialog::reject);
    connect(suggestions_, &QListWidget::currentTextChanged, replacement_, &QLineEdit::setText);
    connect(suggestions_, &QListWidget::itemDoubleClicked, this, &TFRechtschreibung::BtnErsetzenClick);
    showWord();
}

void TFRechtschreibung::showWord()
{
    if (session_.finished()) {
        accept();
        return;
    }
    const WordSpan span = session_.span();
    word_->setText(QStringLiteral("Nicht im Wörterbuch: ") + session_.word());
    context_->setPlainText(session_.text());
    QTextCursor c(context_->document());
    c.setPosition(int(span.start));
    c.setPosition(int(span.start + span.length), QTextCursor::KeepAnchor);
    QTextEdit::ExtraSelection mark;
    mark.cursor = c;
    mark.format.setBackground(QColor(255, 255, 0));
    mark.format.setForeground(QColor(200, 0, 0));
    context_->setExtraSelections({mark});
    // The caret goes to the word without selecting it, so its mark shows.
    c.clearSelection();
    context_->setTextCursor(c);
    context_->ensureCursorVisible();

    suggestions_->clear();
    const QStringList list = session_.suggestions();
    suggestions_->addItems(list);
    replacement_->setText(list.isEmpty() ? session_.word() : list.first());
    if (!list.isEmpty())
        suggestions_->setCurrentRow(0);
    replacement_->setFocus();
    replacement_->selectAll();
}

void TFRechtschreibung::BtnErsetzenClick()
{
    session_.replace(replacement_->text());
    showWord();
}

void TFRechtschreibung::BtnAlleErsetzenClick()
{
    session_.replaceAll(replacement_->text());
    showWord();
}

void TFRechtschreibung::BtnIgnorierenClick()
{
    session_.ignore();
    showWord();
}

void TFRechtschreibung::BtnAlleIgnorierenClick()
{
    session_.ignoreAll();
    showWord();
}

void TFRechtschreibung::BtnHinzufuegenClick()
{
    const QString word = session_.word();
    if (!session_.addToDictionary())
        ui_.error(QStringLiteral("Das Wort \"") + word
                  + QStringLiteral("\" kann nicht in die Wortliste geschrieben werden!"));
    showWord();
}

bool checkSpelling(QPlainTextEdit& memo, SpellChecker& checker, Interaction& ui, const QSet<QString>& blockIds)
{
    SpellingSession session(memo.toPlainText(), checker, blockIds);
    if (session.next()) {
        TFRechtschreibung dialog(session, ui, memo.window());
        dialog.exec();
    }
    if (session.changed() && !memo.isReadOnly()) {
        QTextCursor c(memo.document());
        c.select(QTextCursor::Document);
        c.insertText(session.text());
    }
    ui.info(QString::fromUtf8(kSpellingDone));
    return session.changed();
}

} // namespace zedora
