// Same page content for every library: 3,234 landscape Letter pages, 32 lines of 8 cells
// in Liberation Sans 8 pt, one thin line under every text line and a thick one under the headings.
#pragma once
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
constexpr int kPages = 3234, kLines = 32, kCells = 8;
constexpr double kW = 279.4, kH = 215.9;     // mm
constexpr double kX[kCells] = {0, 10.6, 21.2, 48.7, 69.8, 95.2, 177.8, 209.6};
inline double pt(double mm) { return mm * 72.0 / 25.4; }
inline std::string cell(int page, int line, int c)
{
    const int n = page * kLines + line, p = n % 1000;
    char b[96];
    switch (c) {
    case 0: std::snprintf(b, sizeof b, "%d", p % 10 + 1); break;
    case 1: return "A";
    case 2: std::snprintf(b, sizeof b, "07:%02d:%02d a. m.", p % 60, p % 59); break;
    case 3: std::snprintf(b, sizeof b, "%02d/01/2026", 1 + n / 1000 % 28); break;
    case 4: std::snprintf(b, sizeof b, "C%05d", p); break;
    case 5: std::snprintf(b, sizeof b, "PERSONA NÚMERO %d DE APELLIDO LARGO", p); break;
    case 6: return "3001234567";
    default: return p % 7 ? "Llegó con permiso" : "Señor Peña, acudiente";
    }
    return b;
}
struct Timer {
    std::chrono::steady_clock::time_point t0 = std::chrono::steady_clock::now();
    std::clock_t c0 = std::clock();
    void report(const char* what) const
    {
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double cpu = double(std::clock() - c0) / CLOCKS_PER_SEC;
        std::printf("%-28s wall %.2f s  cpu %.2f s\n", what, wall, cpu);
    }
};
inline long peakKb()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    char line[256];
    long kb = -1;
    while (f && std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld", &kb) == 1) break;
    if (f) std::fclose(f);
    return kb;
}
