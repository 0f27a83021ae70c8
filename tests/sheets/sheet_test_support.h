#pragma once

#include "app/confirm.h"
#include "codecs/detecting_codec.h"
#include "sheets/sheet_picture_loader.h"
#include "tests/app/doc_test_support.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/sound_recorder.h"
#include "tests/support/test_files.h"

#include <vector>

// Answers every question with one answer and keeps what was asked.
class ConfirmAnswers
{
public:
    explicit ConfirmAnswers(int answer = ConfirmAnswer::Yes) : reply(answer)
    {
        previous = SetConfirmRecorder([this](const ConfirmRequest &request) {
            asked.push_back(request);
            return reply;
        });
    }

    ~ConfirmAnswers() { SetConfirmRecorder(previous); }

    ConfirmAnswers(const ConfirmAnswers &) = delete;
    ConfirmAnswers &operator=(const ConfirmAnswers &) = delete;

    int reply;
    std::vector<ConfirmRequest> asked;

private:
    ConfirmRecorder previous;
};

// A document on \pics with pictures of given sizes, and the answers to its questions.
class SheetTest : public DocTest
{
protected:
    SheetTest() { EnsureTestApplication(); }

    // A 24-bit BMP whose pixels differ from each other, so that a crop can be told apart.
    void makeSized(const std::string &devicePath, int width, int height)
    {
        const std::int32_t pad = RowPadFor(width);
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width + pad) * 3 * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint8_t *p = &pixels[(static_cast<std::size_t>(y) * (width + pad) + x) * 3];
                p[0] = static_cast<std::uint8_t>(x * 7);
                p[1] = static_cast<std::uint8_t>(y * 5);
                p[2] = static_cast<std::uint8_t>((x + y) * 3);
            }
        BmpWriter writer;
        writer.write(host(devicePath), PixelSpan::Padded(pixels.data(), width, height, pad));
    }

    // Pictures p0.bmp, p1.bmp ... in \pics with the sizes given, all selected.
    void loadSized(const std::vector<Size> &sizes)
    {
        makeFolder("\\pics");
        for (std::size_t i = 0; i < sizes.size(); ++i)
            makeSized("\\pics\\p" + std::to_string(i) + ".bmp", sizes[i].width, sizes[i].height);
        doc.ChangeFolder("\\pics");
        for (int i = 0; i < doc.Count(); ++i)
            doc.ItemAt(i)->setSelected(true);
    }

    ConfirmAnswers answers;
};
