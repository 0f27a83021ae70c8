#include "app/alb_doc.h"
#include "app/image_item.h"
#include "views/alb_img_view.h"

// An animated picture plays while it is shown; each frame is drawn when its delay has passed.
void CAlbImgView::startAnimation(ImageItem &item)
{
    stopAnimation();
    if (!animation.start(item.frames, item.info, item.framesPercent))
        return;
    timers->set(kAnimationTimer, FrameDelayMs(*item.frames.front()), true);
}

void CAlbImgView::stopAnimation()
{
    timers->kill(kAnimationTimer);
    animation.stop();
}

void CAlbImgView::nextFrame()
{
    ImageItem *item = shown();
    if (!item || !inPictureMode() || !animation.startedWith(item->frames)) {
        // The frames went (freed for memory, decoded again at another scale): the next paint
        // starts over with the frames it finds.
        stopAnimation();
        update();
        return;
    }
    animation.advance(item->frames, item->info, item->framesPercent);
    const ImageFrame *shownFrame = item->frames[std::size_t(animation.frameIndex())].get();
    timers->set(kAnimationTimer, shownFrame ? FrameDelayMs(*shownFrame) : 100, true);
    update();
}
