#include "testing/failing_direct_draw.h"

#include <array>
#include <vector>

#include "ddraw/direct_draw.h"
#include "ddraw/surface.h"
#include "testing/testing.h"

namespace platform::testing {
namespace {

struct ArmedFailure {
  int at_call;
  HRESULT result;
};

struct StepFailures {
  int calls = 0;
  std::vector<ArmedFailure> armed;
};

struct Failures {
  std::array<StepFailures, static_cast<std::size_t>(Call::Count)> steps;
  int live = 0;
};

Failures& failures() {
  static Failures s_failures;
  return s_failures;
}

// Counts one call of the step; the failure armed for this call, or DD_OK.
HRESULT take(Call call) {
  StepFailures& step = failures().steps[static_cast<std::size_t>(call)];
  ++step.calls;
  for (const ArmedFailure& failure : step.armed) {
    if (failure.at_call == step.calls) return failure.result;
  }
  return DD_OK;
}

// Counted while it lives.
struct Census {
  Census() { ++failures().live; }
  ~Census() { --failures().live; }
  Census(const Census&) = delete;
  Census& operator=(const Census&) = delete;
};

class FailingSurface final : public Surface {
 public:
  using Surface::Surface;

  // A failure armed is taken before the platform's own checks, which are
  // then the platform's alone to make.
  HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 lpDDSCaps,
                                               LPDIRECTDRAWSURFACE7* lplpDDAttachedSurface) override {
    const HRESULT failure = take(Call::GetAttachedSurface);
    if (failure == DD_OK) return Surface::GetAttachedSurface(lpDDSCaps, lplpDDAttachedSurface);
    if (lplpDDAttachedSurface != nullptr) *lplpDDAttachedSurface = nullptr;
    return failure;
  }
  HRESULT STDMETHODCALLTYPE Lock(LPRECT lpDestRect, LPDDSURFACEDESC2 lpDDSurfaceDesc, DWORD dwFlags,
                                 HANDLE hEvent) override {
    const HRESULT failure = take(Call::Lock);
    return failure == DD_OK ? Surface::Lock(lpDestRect, lpDDSurfaceDesc, dwFlags, hEvent) : failure;
  }

 private:
  Census census_;
};

class FailingDirectDraw final : public DirectDraw {
 public:
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hWnd, DWORD dwFlags) override {
    const HRESULT failure = take(Call::SetCooperativeLevel);
    return failure == DD_OK ? DirectDraw::SetCooperativeLevel(hWnd, dwFlags) : failure;
  }
  HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP, DWORD dwRefreshRate,
                                           DWORD dwFlags) override {
    const HRESULT failure = take(Call::SetDisplayMode);
    return failure == DD_OK ? DirectDraw::SetDisplayMode(dwWidth, dwHeight, dwBPP, dwRefreshRate, dwFlags)
                            : failure;
  }
  HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 lpDDSurfaceDesc2,
                                          LPDIRECTDRAWSURFACE7* lplpDDSurface, IUnknown* pUnkOuter) override {
    if (lplpDDSurface != nullptr && lpDDSurfaceDesc2 != nullptr &&
        lpDDSurfaceDesc2->dwSize == sizeof(DDSURFACEDESC2)) {
      const bool primary = (lpDDSurfaceDesc2->dwFlags & DDSD_CAPS) != 0 &&
                           (lpDDSurfaceDesc2->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0;
      const HRESULT failure = take(primary ? Call::CreatePrimarySurface : Call::CreateOffscreenSurface);
      if (failure != DD_OK) {
        *lplpDDSurface = nullptr;
        return failure;
      }
    }
    return DirectDraw::CreateSurface(lpDDSurfaceDesc2, lplpDDSurface, pUnkOuter);
  }

 private:
  Surface* new_surface(int width, int height, int bits_per_pixel, DWORD caps) override {
    return new FailingSurface(this, width, height, bits_per_pixel, caps);
  }

  Census census_;
};

}  // namespace

void clear_failures() { failures() = Failures{}; }

void fail_call(Call call, int nth, HRESULT result) {
  StepFailures& step = failures().steps[static_cast<std::size_t>(call)];
  step.armed.push_back({step.calls + nth, result});
}

int call_count(Call call) { return failures().steps[static_cast<std::size_t>(call)].calls; }

int live_objects() { return failures().live; }

}  // namespace platform::testing

namespace platform {

// In place of the platform's own maker, for every program that links this.
HRESULT make_direct_draw(DirectDraw** made) {
  const HRESULT failure = testing::take(testing::Call::DirectDrawCreateEx);
  if (failure != DD_OK) return failure;
  *made = new testing::FailingDirectDraw();
  return DD_OK;
}

}  // namespace platform
