#include "awayquestion.h"

#include "awaytime.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AwayQuestion::AwayQuestion(QWidget *parent)
    : QDialog(parent)
    , keepButton(new QPushButton(this))
    , stopButton(new QPushButton(this))
    , stopAndStartAgainButton(new QPushButton(this))
    , m_text(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Worktally"));
    m_text->setWordWrap(true);
    keepButton->setText(QStringLiteral("&Keep the time"));
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(keepButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(stopButton, QDialogButtonBox::ActionRole);
    buttons->addButton(stopAndStartAgainButton, QDialogButtonBox::ActionRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    keepButton->setDefault(true);

    const auto answerWith = [this](QPushButton *button, Answer answer) {
        connect(button, &QPushButton::clicked, this, [this, answer] {
            hide();
            emit answered(answer);
        });
    };
    answerWith(keepButton, Answer::Keep);
    answerWith(stopButton, Answer::Stop);
    answerWith(stopAndStartAgainButton, Answer::StopAndStartAgain);
}

void AwayQuestion::ask(const AwaySpan &span, bool lastRun)
{
    m_text->setText(span.question(lastRun));
    stopButton->setText(QStringLiteral("&Stop at %1").arg(span.fromText()));
    stopAndStartAgainButton->setText(QStringLiteral("Stop at %1 and start &again").arg(span.fromText()));
    // Closing the window answers nothing: the question comes again at the next start.
    show();
    raise();
    activateWindow();
}

QString AwayQuestion::text() const
{
    return m_text->text();
}
