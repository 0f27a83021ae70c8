#pragma once

#include "app/image_lists.h"
#include "app/view_factory.h"
#include "tests/app/doc_test_support.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/sound_recorder.h"
#include "views/alb_view.h"

#include <QApplication>
#include <QMouseEvent>

#include <functional>
#include <memory>

// A frame around the view that records what the view asks of it.
class RecordingHost final : public ViewHost
{
public:
    void sendCommand(std::uint32_t id) override { sent.push_back(id); }

    void postCommand(std::uint32_t id) override { posted.push_back(id); }

    void activateView(QWidget &) override { ++activations; }

    void cellSizeChanged() override { ++cellSizeChanges; }

    void showZoomIndicator(bool actualSize) override { atActualSize = actualSize; }

    void commandStatesChanged() override { ++stateRefreshes; }

    CommandState commandState(std::uint32_t id) const override
    {
        return stateOf ? stateOf(id) : CommandState{};
    }

    // The frame's command states, when a test decides them.
    std::function<CommandState(std::uint32_t)> stateOf;

    std::vector<std::uint32_t> sent;
    bool atActualSize = true;
    std::vector<std::uint32_t> posted;
    int activations = 0;
    int cellSizeChanges = 0;
    int stateRefreshes = 0;
};

// A document on a folder of real pictures and a thumbnail view of 240 x 320 on it.
class ViewTest : public DocTest
{
protected:
    ViewTest()
    {
        EnsureTestApplication();
        BuildImageLists(lists);
        settings.viewMode = ViewMode::Thumbnail;
    }

    // Pictures p00.bmp, p01.bmp, ... in \pics, loaded into the document.
    void loadPictures(int count)
    {
        makeFolder("\\pics");
        for (int i = 0; i < count; ++i)
            makePicture(name(i));
        doc.ChangeFolder("\\pics");
    }

    static std::string name(int i)
    {
        return std::string("\\pics\\p") + char('0' + i / 10) + char('0' + i % 10) + ".bmp";
    }

    void makeView(int width = 240, int height = 320)
    {
        view = std::make_unique<CAlbView>(doc, settings, host, &lists);
        view->resize(width, height);
        view->show();
        view->UpdateFromDocument(-1);
        QCoreApplication::processEvents();
    }

    QPoint centreOf(int index) const
    {
        Rect r = view->CellRect(index);
        return { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
        QMouseEvent event(type, QPointF(at), view->viewport()->mapToGlobal(QPointF(at)), changed,
                          held, modifiers);
        QApplication::sendEvent(view->viewport(), &event);
    }

    void tap(QPoint at)
    {
        mouse(QEvent::MouseButtonPress, at);
        mouse(QEvent::MouseButtonRelease, at);
    }

    void key(int code)
    {
        QKeyEvent event(QEvent::KeyPress, code, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &event);
    }

    std::vector<int> selectedIndexes() const
    {
        std::vector<int> out;
        for (int i = 0; i < doc.Count(); ++i)
            if (doc.ItemAt(i)->selected())
                out.push_back(i);
        return out;
    }

    void selectOnly(int index)
    {
        doc.ClearSelection();
        doc.ItemAt(index)->setSelected(true);
    }

    ImageLists lists;
    RecordingHost host;
    SoundRecorder beeper;
    std::unique_ptr<CAlbView> view;
};
