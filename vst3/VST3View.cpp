// The editor in a host's window: the plug-in's X11 editor opened as a child of the window the
// host passes, driven by the run loop the host lends through the view's frame (a handler on
// the X connection and a timer at the editor's frame rate), so that no thread of our own runs.

#include "vst3/VST3View.h"

#include <atomic>
#include <cstring>
#include <new>
#include <string>

#include "platform/x11/IGraphicsLinux.h"
#include "vst3/VST3Plugin.h"

namespace vst3 {

namespace {

class VST3View final : public IPlugView, public IPlugViewContentScaleSupport {
 public:
  VST3View(VST3Plugin* plugin, IGraphicsLinux* graphics)
      : mPlugin(plugin), mGraphics(graphics), mTimer(this), mEvents(this) {
    mPlugin->addRef();
  }

  tresult queryInterface(const char* iid, void** obj) override {
    if (!obj) return kInvalidArgument;
    void* p = nullptr;
    if (FUnknown::kIID.Matches(iid) || IPlugView::kIID.Matches(iid)) {
      p = static_cast<IPlugView*>(this);
    } else if (IPlugViewContentScaleSupport::kIID.Matches(iid)) {
      p = static_cast<IPlugViewContentScaleSupport*>(this);
    }
    *obj = p;
    if (!p) return kNoInterface;
    addRef();
    return kResultOk;
  }
  uint32 addRef() override { return ++mRefs; }
  uint32 release() override {
    const uint32 refs = --mRefs;
    if (refs == 0) delete this;
    return refs;
  }

  tresult isPlatformTypeSupported(FIDString type) override {
    return type && std::strcmp(type, kPlatformTypeX11EmbedWindowID) == 0 ? kResultOk : kResultFalse;
  }

  tresult attached(void* parent, FIDString type) override {
    if (isPlatformTypeSupported(type) != kResultOk || !parent) return kInvalidArgument;
    // One window per editor: a second view of the same plug-in waits until the first closes.
    if (mAttached || mGraphics->GetWindow()) return kResultFalse;
    mGraphics->SetHostScaleFactor(mScale);
    if (!mGraphics->OpenWindow(parent)) return kResultFalse;
    mAttached = true;
    mPlugin->Plug()->SetResizeFunction(Resize, this);
    // The frame gets its run loop when the view is attached, not always by setFrame.
    if (mFrame && mFrame->queryInterface(IRunLoop::kIID.Bytes(), (void**)&mRunLoop) == kResultOk &&
        mRunLoop) {
      if (mGraphics->ConnectionFd() >= 0)
        mRunLoop->registerEventHandler(&mEvents, mGraphics->ConnectionFd());
      const int fps = mGraphics->FPS() > 0 ? mGraphics->FPS() : 30;
      mRunLoop->registerTimer(&mTimer, (uint64)std::max(1, 1000 / fps));
    }
    return kResultOk;
  }

  tresult removed() override {
    if (!mAttached) return kResultFalse;
    if (mRunLoop) {
      mRunLoop->unregisterTimer(&mTimer);
      mRunLoop->unregisterEventHandler(&mEvents);
      mRunLoop->release();
      mRunLoop = nullptr;
    }
    mPlugin->Plug()->SetResizeFunction(nullptr, nullptr);
    mGraphics->CloseWindow();
    mAttached = false;
    return kResultOk;
  }

  tresult onWheel(float) override { return kResultFalse; }
  tresult onKeyDown(char16_t, int16, int16) override { return kResultFalse; }
  tresult onKeyUp(char16_t, int16, int16) override { return kResultFalse; }

  tresult getSize(ViewRect* size) override {
    if (!size) return kInvalidArgument;
    const int scale = Scale();
    *size = {0, 0, mGraphics->Width() * scale, mGraphics->Height() * scale};
    return kResultOk;
  }
  // The editor has one size: whatever the host proposes, it stays.
  tresult onSize(ViewRect* newSize) override { return newSize ? kResultOk : kInvalidArgument; }
  tresult checkSizeConstraint(ViewRect* rect) override { return getSize(rect); }
  tresult canResize() override { return kResultFalse; }
  tresult onFocus(TBool) override { return kResultOk; }

  tresult setFrame(IPlugFrame* frame) override {
    if (frame) frame->addRef();
    if (mFrame) mFrame->release();
    mFrame = frame;
    return kResultOk;
  }

  tresult setContentScaleFactor(float factor) override {
    if (!(factor > 0.0f)) return kInvalidArgument;
    // The editor draws at 1x or 2x; an open window keeps the scale it opened with.
    const double scale = factor >= 1.5f ? 2.0 : 1.0;
    if (mAttached) return scale == mGraphics->WindowScale() ? kResultOk : kResultFalse;
    mScale = scale;
    return kResultOk;
  }

 private:
  // Forwards the run loop's calls; lives inside the view, so counts the view's references.
  template <class Interface>
  struct Handler : Interface {
    explicit Handler(VST3View* view) : mView(view) {}
    tresult queryInterface(const char* iid, void** obj) override {
      if (!obj) return kInvalidArgument;
      *obj = FUnknown::kIID.Matches(iid) || Interface::kIID.Matches(iid) ? this : nullptr;
      if (!*obj) return kNoInterface;
      addRef();
      return kResultOk;
    }
    uint32 addRef() override { return mView->addRef(); }
    uint32 release() override { return mView->release(); }
    VST3View* mView;
  };
  struct Timer : Handler<ITimerHandler> {
    using Handler::Handler;
    void onTimer() override { mView->Pump(); }
  };
  struct Events : Handler<IEventHandler> {
    using Handler::Handler;
    void onFDIsSet(int) override { mView->Pump(); }
  };

  ~VST3View() {
    removed();
    setFrame(nullptr);
    mPlugin->release();
  }

  int Scale() const {
    if (mAttached) return mGraphics->WindowScale();
    return mScale >= 2.0 ? 2 : 1;
  }

  void Pump() {
    // A window the host destroyed closes the editor; the view waits for removed().
    if (mAttached) mGraphics->ProcessEvents();
  }

  static bool Resize(void* context, int w, int h) {
    auto* view = static_cast<VST3View*>(context);
    ViewRect rect = {0, 0, w, h};
    return view->mFrame && view->mFrame->resizeView(view, &rect) == kResultOk;
  }

  std::atomic<uint32> mRefs = 1;
  VST3Plugin* mPlugin;
  IGraphicsLinux* mGraphics;
  IPlugFrame* mFrame = nullptr;
  IRunLoop* mRunLoop = nullptr;
  Timer mTimer;
  Events mEvents;
  double mScale = 0;  // 0: the display's settings decide
  bool mAttached = false;
};

}  // namespace

IPlugView* CreateEditorView(VST3Plugin* plugin) {
  auto* graphics = dynamic_cast<IGraphicsLinux*>(plugin->Plug()->GetGUI());
  if (!graphics) return nullptr;
  return new (std::nothrow) VST3View(plugin, graphics);
}

}  // namespace vst3
