#include "base/window_dpi.h"

#include "base/dpi_scale.h"
#include "base/win_handles.h"

namespace tomelet {
namespace {

struct DpiFunctions {
  UINT(WINAPI* forWindow)(HWND) = nullptr;
  UINT(WINAPI* forSystem)() = nullptr;
  int(WINAPI* metricForDpi)(int, UINT) = nullptr;
};

template <typename Function>
void Find(HMODULE user32, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

const DpiFunctions& Functions() {
  static const DpiFunctions functions = [] {
    DpiFunctions found;
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
      Find(user32, "GetDpiForWindow", found.forWindow);
      Find(user32, "GetDpiForSystem", found.forSystem);
      Find(user32, "GetSystemMetricsForDpi", found.metricForDpi);
    }
    return found;
  }();
  return functions;
}

}  // namespace

int SystemDpi() {
  if (Functions().forSystem) return static_cast<int>(Functions().forSystem());
  WindowDC screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND window) {
  const UINT dpi = Functions().forWindow && window ? Functions().forWindow(window) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  if (Functions().metricForDpi) return Functions().metricForDpi(index, static_cast<UINT>(dpi));
  return MulDivRounded(GetSystemMetrics(index), dpi, SystemDpi());
}

}  // namespace tomelet
