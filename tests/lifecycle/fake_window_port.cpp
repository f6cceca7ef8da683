#include "fake_window_port.h"

#include <utility>

namespace zorbalin::lifecycle::testing {

std::optional<std::u16string> FakeSettingsStore::read(std::u16string_view key) {
    return value(key);
}

std::optional<std::u16string> FakeSettingsStore::value(std::u16string_view key) const {
    const auto found = values.find(key);
    if (found == values.end()) return std::nullopt;
    return found->second;
}

Status FakeSettingsStore::write(const Values& written) {
    ++writes;
    if (!writable) return problemOf(ProblemCode::SettingsNotSaved);
    for (const auto& [key, text] : written) values[std::u16string(key)] = text;
    return done();
}

FakeWindowPort::FakeWindowPort() {
    caption = u"";
}

std::u16string FakeWindowPort::addFile(std::u16string name, std::string bytes) {
    files.add(name, std::move(bytes));
    return u"/lists/" + name;
}

void FakeWindowPort::typeIntoEditor(std::u16string text) {
    editor = text;
    editorShown = std::move(text);
    editorPending = false;
}

void FakeWindowPort::setEditorText(const std::u16string& text) {
    call("setEditorText");
    FakeControls::setEditorText(text);
    editorPending = true;
}

void FakeWindowPort::setPickText(std::u16string_view text) {
    call("setPickText");
    FakeControls::setPickText(text);
}

void FakeWindowPort::flushEditor() {
    call("flushEditor");
    if (!editorPending) return;
    editorShown = editor;
    editorPending = false;
    ++editorFlushes;
}

void FakeWindowPort::discardEditor() {
    editor = editorShown;
    editorPending = false;
}

void FakeWindowPort::CountingProgress::report(ProgressStage, std::uint64_t, std::uint64_t) {
    ++port_.busyReports;
    port_.busy = true;
}

void FakeWindowPort::endBusy() {
    busy = false;
}

void FakeWindowPort::showBox(const layout::MessageBoxText& box, View owner) {
    call("showBox");
    boxes.push_back({std::u16string(box.title), box.text, box.icon, owner, editorShown});
    if (duringBox) duringBox(boxes.back());
}

std::u16string FakeWindowPort::showOpenFileDialog(std::u16string_view title, std::u16string_view filter) {
    call("showOpenFileDialog");
    openRequests.emplace_back(title);
    lastOpenFilter = filter;
    if (openAnswers.empty()) return {};
    std::u16string answer = std::move(openAnswers.front());
    openAnswers.pop_front();
    return answer;
}

Result<std::u16string> FakeWindowPort::showSaveFileDialog(const layout::SaveDialogTexts& dialog, View owner) {
    call("showSaveFileDialog");
    saveRequests.emplace_back(dialog.title, owner);
    return saveAnswer;
}

void FakeWindowPort::showPresentation(bool on) {
    call("showPresentation");
    presentation = on;
}

void FakeWindowPort::showPresentationContent(const std::vector<std::u16string>& picks, std::u16string_view help) {
    presentationTold.emplace_back(picks, help);
}

void FakeWindowPort::showFloating(bool on, std::optional<layout::PixelPoint> at) {
    call("showFloating");
    floating = on;
    if (on) floatingShownAt.push_back(at);
}

std::optional<std::size_t> FakeWindowPort::askDrawCount(std::size_t current, std::size_t maximum) {
    call("askDrawCount");
    drawCountAsked.emplace_back(current, maximum);
    return drawCountAnswer;
}

void FakeWindowPort::showRecordWindow() {
    call("showRecordWindow");
    recordWindow = true;
}

void FakeWindowPort::showRecordRows(const draw::ResultRecord& record, std::size_t unchangedRows) {
    recordTold.emplace_back(record.results().size(), unchangedRows);
}

void FakeWindowPort::copyPickSelection() { ++pickCopies; }
void FakeWindowPort::selectAllPick() { ++pickSelections; }

bool FakeWindowPort::setClipboardText(std::u16string_view text) {
    call("setClipboardText");
    if (clipboardBusy) return false;
    clipboard = std::u16string(text);
    return true;
}

files::CodePages FakeWindowPort::codePages() {
    return {textio::testing::fakeDecoder(), textio::testing::fakeEncoder()};
}

FakeWindow::FakeWindow()
    : random(new zorbalin::testing::ScriptedRandom),
      window(port, std::unique_ptr<draw::RandomSource>(random), [this] { return now; }) {}

void FakeWindow::open() {
    window.Form_Load();
    port.shown = true;
    if (window.hasStartupNotice()) window.tellStartupNotice();
}

}  // namespace zorbalin::lifecycle::testing
