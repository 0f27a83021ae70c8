#include "app/confirm.h"

#include "app/dialog_controls.h"
#include "common/string_ids.h"
#include "common/string_table.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace {

constexpr std::uint32_t kDialogId = 111;
constexpr int kMargin = 8;
constexpr int kSpacing = 6;
constexpr int kBaseLines = 3;
constexpr int kMinimumWidth = 300;
// A long file name does not wrap; the dialog widens for it up to this width.
constexpr int kMaximumWidth = 640;

struct ButtonSpec
{
    int answer;
    const char *text;
};

constexpr ButtonSpec kButtons[] = {
    { ConfirmAnswer::Yes, "&Yes" },
    { ConfirmAnswer::YesToAll, "Yes to &All" },
    { ConfirmAnswer::No, "&No" },
    { ConfirmAnswer::Cancel, "&Cancel" },
};

ConfirmRecorder &Recorder()
{
    static ConfirmRecorder recorder;
    return recorder;
}

// The widest run of text that word wrapping cannot break.
int longestWordWidth(const QString &text, const QFontMetrics &metrics)
{
    int widest = 0;
    const QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")));
    for (const QString &word : words)
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

} // namespace

ConfirmDialog::ConfirmDialog(const ConfirmRequest &request, QWidget *parent) : QDialog(parent)
{
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QString::fromStdString(request.title));
    text = new QLabel(QString::fromStdString(request.text), this);
    text->setObjectName(QStringLiteral("1000"));
    // File names are shown as they are, never read as markup.
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        const int answer = kButtons[i].answer;
        auto *push = new QPushButton(QString::fromUtf8(kButtons[i].text), this);
        push->setObjectName(QString::number(answer));
        connect(push, &QPushButton::clicked, this, [this, answer] { done(answer); });
        buttons[i] = push;
    }
    buttons[0]->setDefault(true);
    buttons[1]->setEnabled(request.yesToAllOffered);
    placeControls(request.lineCount);
    ConnectHelp(*this, nullptr, kDialogId);
}

QPushButton *ConfirmDialog::button(int answer) const
{
    for (std::size_t i = 0; i < std::size(kButtons); ++i)
        if (kButtons[i].answer == answer)
            return buttons[i];
    return nullptr;
}

// The text field is laid out for three lines. More lines make it lineCount / 3 times as high;
// the dialog grows by the same number of pixels and the buttons move down by it.
void ConfirmDialog::placeControls(int lineCount)
{
    const QFontMetrics metrics(text->font());
    int rowWidth = 0;
    int buttonHeight = 0;
    for (QPushButton *push : buttons) {
        rowWidth += push->sizeHint().width();
        buttonHeight = std::max(buttonHeight, push->sizeHint().height());
    }
    rowWidth += kSpacing * (static_cast<int>(std::size(buttons)) - 1);
    const int textWidth = std::clamp(std::max(rowWidth, longestWordWidth(text->text(), metrics)),
                                     kMinimumWidth - 2 * kMargin, kMaximumWidth - 2 * kMargin);
    const int baseHeight = kBaseLines * metrics.lineSpacing() + 4;
    const int textHeight =
            lineCount > kBaseLines ? baseHeight * lineCount / kBaseLines : baseHeight;
    const int growth = textHeight - baseHeight;

    text->setGeometry(kMargin, kMargin, textWidth, textHeight);
    const int buttonTop = kMargin + baseHeight + kMargin + growth;
    int x = kMargin + (textWidth - rowWidth) / 2;
    for (QPushButton *push : buttons) {
        push->setGeometry(x, buttonTop, push->sizeHint().width(), buttonHeight);
        x += push->sizeHint().width() + kSpacing;
    }
    setFixedSize(textWidth + 2 * kMargin, buttonTop + buttonHeight + kMargin);
}

ConfirmRecorder SetConfirmRecorder(ConfirmRecorder recorder)
{
    return std::exchange(Recorder(), std::move(recorder));
}

int Confirm(QWidget *owner, std::uint32_t messageId, std::uint32_t titleId, bool offerYesToAll,
            int lineCount, const MessageArgs &args)
{
    std::string message;
    if (!LoadString(messageId, message) || message.empty())
        return ConfirmAnswer::No;
    ConfirmRequest request;
    // The arguments fill the message's conversions; a file name is always an argument, so a
    // '%' inside it is shown as it is.
    request.text = FormatMessage(message, args);
    if (titleId == 0 || !LoadString(titleId, request.title) || request.title.empty())
        LoadString(Msg::ConfirmationTitle, request.title);
    request.yesToAllOffered = offerYesToAll;
    request.lineCount = lineCount;
    if (Recorder())
        return Recorder()(request);
    ConfirmDialog dialog(request, owner ? owner : QApplication::activeWindow());
    return dialog.exec();
}
