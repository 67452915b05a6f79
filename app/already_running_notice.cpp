// The already-running notice's text.
#include "app/already_running_notice.h"

std::wstring already_running_text(int primary_language) {
    if (primary_language == 7) return L"Programm l\u00e4uft bereits.\r\nAktuelles Programm \u00f6ffnen.";
    return L"Program is already running.\r\nOpening current program.";
}
