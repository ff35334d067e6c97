// Lodrun Demo's shared library: one exported greeting, so that the demo setup has a shared,
// versioned file to place in the system folder and count.
#include <windows.h>

// cdecl, so that the exported name is the plain "DemoGreeting" on both architectures.
extern "C" __declspec(dllexport) const char* __cdecl DemoGreeting() {
  return "Hello from the shared library lodrun_demo_shared.dll, version 1.0.";
}
