// Text with line breaks, tabs, control characters and letters beyond ASCII,
// pasted through the clipboard into the window's edit boxes as a user would:
// the saved file holds no key that was not there before, a load brings back
// what the file holds, and every forbidden character stops the write with
// the message of the field it is in.
#include <QApplication>
#include <QClipboard>

#include "configfile/configfile.h"
#include "tests/support/window_fixture.h"
#include "ui/qtfields.h"

namespace trekmor::testing {
namespace {

namespace fs = std::filesystem;

// Tries to close the value's line and open a section and a key of its own.
const QString kPayload = QStringLiteral("\nX=1\r\n[Radio]\r\nTXdelay=999\rCallsign=HACK\t\u00C4;x") +
                         QChar(0) + QStringLiteral("=[z]");

void paste(QWidget* widget, const QString& text) {
  QApplication::clipboard()->setText(text);
  widget->setFocus();
  QTest::keySequence(widget, QKeySequence::SelectAll);
  QTest::keySequence(widget, QKeySequence::Paste);
}

// The text-form fields that are edit boxes: every field a paste can reach
// whose text goes into the file as it stands.
std::vector<const FieldDecl*> textFields() {
  std::vector<const FieldDecl*> out;
  for (const FieldDecl* field : allFields()) {
    if (field->form == FileForm::Text && !field->isCombo()) out.push_back(field);
  }
  return out;
}

// A value as the file gives it back: line breaks were never written, and
// blanks at either end do not survive the reading.
std::string asReadBack(std::string text) {
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  std::size_t lead = 0;
  while (lead < text.size() && blank(text[lead])) ++lead;
  return text.substr(lead);
}

// Each line's key name (or section header) in order, and whether every line
// ends in CR LF and nothing else breaks a line.
std::vector<std::string> lineNames(const std::string& bytes, bool& wellFormed) {
  std::vector<std::string> names;
  wellFormed = bytes.ends_with("\r\n");
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) break;
    const std::string line = bytes.substr(start, end - start);
    if (line.find_first_of("\r\n") != std::string::npos) wellFormed = false;
    names.push_back(line.starts_with("[") ? line : line.substr(0, line.find('=')));
    start = end + 2;
  }
  return names;
}

class Paste : public WindowFixture {};

TEST_F(Paste, IntoEveryTextFieldThenSaveAndLoad) {
  TempDir dir;
  answer = qs(dir / "clean.cfg");
  click("Button_save_to_file");
  const std::string clean = readFile(dir / "clean.cfg");
  const Snapshot start = snapshot();

  const std::vector<const FieldDecl*> fields = textFields();
  ASSERT_GT(fields.size(), 100u);
  std::map<std::string, std::string> pasted;
  for (const FieldDecl* field : fields) {
    QWidget* widget = find<QWidget>(field->control);
    ASSERT_NE(widget, nullptr) << field->control;
    paste(widget, kPayload);
    pasted[field->control] = window->fields().text(field->control);
    // The box took the paste (up to its length): not only its own start text.
    EXPECT_EQ(pasted[field->control].front(), '\n') << field->control;
  }

  answer = qs(dir / "pasted.cfg");
  click("Button_save_to_file");
  EXPECT_TRUE(boxes.isEmpty());
  const std::string bytes = readFile(dir / "pasted.cfg");
  bool cleanFormed = false;
  bool pastedFormed = false;
  EXPECT_EQ(lineNames(bytes, pastedFormed), lineNames(clean, cleanFormed));  // not one line or key more
  EXPECT_TRUE(cleanFormed);
  EXPECT_TRUE(pastedFormed);
  const ProfileFile file = ProfileFile::fromBytes(bytes);
  EXPECT_EQ(file.value("Radio", "TXdelay"), "250");
  EXPECT_EQ(file.value("Radio", "X"), std::nullopt);
  for (const FieldDecl* field : fields) {
    EXPECT_EQ(file.value(field->section, field->key), asReadBack(pasted[field->control])) << field->control;
  }

  // Back to the start values, then the load: the pasted fields get what the
  // file holds, every other field keeps its value.
  applyStartValues(window->fields(), window->userInterface());
  ASSERT_EQ(snapshot(), start);
  answer = qs(dir / "pasted.cfg");
  click("Button_read_from_file");
  EXPECT_TRUE(boxes.isEmpty());
  Snapshot expected = start;
  for (const FieldDecl* field : fields) {
    const std::string value = window->fields().text(field->control);
    EXPECT_EQ(value, asReadBack(pasted[field->control])) << field->control;
    expected[field->control] = value;
  }
  EXPECT_EQ(snapshot(), expected);
}

// ---- the write refuses what the free-text checks forbid --------------------

struct FreeText {
  const FieldDecl* field;
  const FieldDecl* step;  // the same row: its image place and checks
};

// The fields whose pack tests for printable ASCII.
std::vector<FreeText> freeTextFields() {
  std::vector<FreeText> out;
  for (const Group* group : packOrder()) {
    for (const FieldDecl& row : group->fields) {
      if (!row.text.freeTextMessage.empty()) out.push_back({&row, &row});
    }
  }
  return out;
}

struct Character {
  const char* name;
  QString text;
  bool lineBreak;  // a multi-line box drops it; a one-line box keeps it and it is refused
};

const Character kCharacters[] = {
    {"Tab", QStringLiteral("\t"), false},
    {"Escape", QStringLiteral("\x1B"), false},
    {"Delete", QStringLiteral("\x7F"), false},
    {"Nul", QString(QChar(0)), false},
    {"LatinSmallEAcute", QStringLiteral("\u00E9"), false},
    {"NoBreakSpace", QStringLiteral("\u00A0"), false},
    {"EuroSign", QStringLiteral("\u20AC"), false},
    {"Emoji", QStringLiteral("\U0001F600"), false},
    {"LineFeed", QStringLiteral("\n"), true},
    {"CarriageReturn", QStringLiteral("\r"), true},
    {"CrLf", QStringLiteral("\r\n"), true},
    {"LineSeparator", QStringLiteral("\u2028"), true},
};

void PrintTo(const Character& c, std::ostream* os) { *os << c.name; }

class PasteForbidden : public WindowFixture, public ::testing::WithParamInterface<Character> {};

INSTANTIATE_TEST_SUITE_P(Characters, PasteForbidden, ::testing::ValuesIn(kCharacters),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(PasteForbidden, EveryFreeTextFieldReportsItWithItsOwnMessage) {
  const std::vector<FreeText> fields = freeTextFields();
  ASSERT_EQ(fields.size(), 8u);  // four beacon messages, the weather comment, three module comments
  for (const auto& [field, step] : fields) {
    SCOPED_TRACE(field->control);
    applyStartValues(window->fields(), window->userInterface());
    boxes.clear();
    device.clearRequests();
    QWidget* widget = find<QWidget>(field->control);
    ASSERT_NE(widget, nullptr);
    paste(widget, QStringLiteral("ab") + GetParam().text + QStringLiteral("cd"));
    click("Button_write_config");

    const bool multiLine = field->widget == Widget::RichEdit;
    if (GetParam().lineBreak && multiLine) {
      // The message box drops line breaks while packing: "abcd" goes to the device.
      EXPECT_TRUE(boxes.isEmpty());
      EXPECT_EQ(textAt(device.eeprom(), step->offset, step->width), "abcd");
    } else {
      EXPECT_EQ(boxes, QStringList{QString::fromStdString(step->text.freeTextMessage)});
      EXPECT_TRUE(device.requests().empty());
    }
  }
}

}  // namespace
}  // namespace trekmor::testing
