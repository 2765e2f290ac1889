// What the program does over and over: the watcher's tick when nothing new
// has the focus, the hotkey poll, a refresh of the window list, and reading a
// settings file; the about box opening on a large document; and the version
// page read in the worst shapes a server could send.
#include <benchmark/benchmark.h>

#include "about/version_page.h"
#include "foundation/settings.h"
#include "unit/fresh_program.h"
#include "unit/iconv_code_pages.h"

namespace pellorin::testing {
namespace {

void openWindows(SubstituteDesktop& desktop, int count) {
    for (int i = 0; i < count; ++i)
        desktop.open(i % 10 == 0 ? "Page " + std::to_string(i) + " - Windows Internet Explorer"
                                 : "Document " + std::to_string(i) + " - Editor");
}

void refreshWindowList(benchmark::State& state) {
    FreshProgram fresh;
    SubstituteDesktop& desktop = fresh.desktop;
    Form1& form = fresh.form;
    openWindows(desktop, static_cast<int>(state.range(0)));
    for (auto _ : state) form.cmdRefresh_Click();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(refreshWindowList)->Arg(10)->Arg(100)->Arg(1000);

void idleWatcherTick(benchmark::State& state) {
    FreshProgram fresh;
    SubstituteDesktop& desktop = fresh.desktop;
    Form1& form = fresh.form;
    form.Form_Load();
    // A full handled-window list, and a browser window in the foreground that is already on it.
    for (int i = 0; i < 19; ++i) form.List2.addItem(std::to_string(1000 + i));
    desktop.foreground = desktop.open("Home - Windows Internet Explorer");
    form.List2.addItem(std::to_string(desktop.foreground));
    for (auto _ : state) form.Timer1.tick();
}
BENCHMARK(idleWatcherTick);

// A tick that finds a new browser window and maximizes it.
void handlingWatcherTick(benchmark::State& state) {
    FreshProgram fresh;
    SubstituteDesktop& desktop = fresh.desktop;
    Form1& form = fresh.form;
    form.Form_Load();
    desktop.foreground = desktop.open("Home - Windows Internet Explorer");
    for (auto _ : state) {
        state.PauseTiming();
        form.List2.clear();
        desktop.window(desktop.foreground).zoomed = false;
        desktop.calls.clear();
        state.ResumeTiming();
        form.Timer1.tick();
    }
}
BENCHMARK(handlingWatcherTick);

// The hotkey poll, three times a second for the whole run, with no key down.
void idleHotkeyPoll(benchmark::State& state) {
    FreshProgram fresh;
    fresh.form.Form_Load();
    for (auto _ : state) fresh.form.Timer2.tick();
}
BENCHMARK(idleHotkeyPoll);

// A hotkey press hiding (then showing) the browser windows among many.
void hotkeyPress(benchmark::State& state) {
    FreshProgram fresh;
    SubstituteDesktop& desktop = fresh.desktop;
    Form1& form = fresh.form;
    form.Form_Load();
    openWindows(desktop, static_cast<int>(state.range(0)));
    desktop.keyStates[vk::control] = static_cast<std::int16_t>(0x8000);
    desktop.keyStates[vk::menu] = static_cast<std::int16_t>(0x8000);
    for (auto _ : state) {
        state.PauseTiming();
        desktop.calls.clear();
        desktop.press(81);
        state.ResumeTiming();
        form.Timer2.tick();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(hotkeyPress)->Arg(100)->Arg(1000);

void readSettingsFile(benchmark::State& state) {
    const std::string content = std::string(static_cast<std::size_t>(state.range(0)), 'x') + "\r\n 12 \r\n";
    for (auto _ : state) {
        FieldReader reader(content);
        std::string text;
        std::int16_t number = 0;
        reader.readText(text);
        reader.readInteger(number);
        benchmark::DoNotOptimize(number);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(content.size()));
}
BENCHMARK(readSettingsFile)->Arg(8)->Arg(1 << 20);

// The about box opening on a document of that many bytes, 70-character lines.
void openAboutWithDocument(benchmark::State& state) {
    FreshProgram fresh;
    std::string document;
    while (document.size() < static_cast<std::size_t>(state.range(0))) document += std::string(68, 'x') + "\r\n";
    fresh.files.put("readme.txt", document);
    fresh.form.Form_Load();
    for (auto _ : state) {
        fresh.form.imgAbout.click();
        benchmark::DoNotOptimize(fresh.program.form3.get()->Text1.text().size());
        fresh.program.form3.get()->Command1.click();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(document.size()));
}
BENCHMARK(openAboutWithDocument)->Arg(16 << 10)->Arg(4 << 20);

// A version page as large as the program reads, made of one piece over and
// over, then decoded and read as the update window does on the UI thread.
void readHostileVersionPage(benchmark::State& state, std::string_view piece) {
    std::string page;
    while (page.size() + piece.size() <= static_cast<std::size_t>(WebClient::largestPage)) page += piece;
    testing::IconvCodePages codePages;
    for (auto _ : state) {
        const VersionPage read = readVersionPage(decodePage(page, "text/html", codePages).value_or(""));
        benchmark::DoNotOptimize(read.text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}
BENCHMARK_CAPTURE(readHostileVersionPage, onlyTags, "<>");
BENCHMARK_CAPTURE(readHostileVersionPage, tagsWithWords, "<b>x</b> ");
BENCHMARK_CAPTURE(readHostileVersionPage, onlyComments, "<!---->");
BENCHMARK_CAPTURE(readHostileVersionPage, onlyReferences, "&amp;");
BENCHMARK_CAPTURE(readHostileVersionPage, ampersandsWithoutEnd, "&");
BENCHMARK_CAPTURE(readHostileVersionPage, unclosedTags, "<a ");
BENCHMARK_CAPTURE(readHostileVersionPage, unclosedComments, "<!--");
BENCHMARK_CAPTURE(readHostileVersionPage, unclosedScripts, "<script>");
BENCHMARK_CAPTURE(readHostileVersionPage, repeatedTitles, "<title>");
BENCHMARK_CAPTURE(readHostileVersionPage, plainText, "word ");

}  // namespace
}  // namespace pellorin::testing

BENCHMARK_MAIN();
