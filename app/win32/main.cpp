// Hangarscanv4.exe: the main window is all there is; the program ends when it closes.
#include <windows.h>

#include "app/win32/quillmere_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return hangarscan::CQuillmereApp(instance).Run();
}
