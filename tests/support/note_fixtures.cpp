#include "tests/support/note_fixtures.h"

#include <cstdio>

#include "tests/support/iges_builder.h"

namespace notora::testing {
namespace {

// Shift-JIS text.
const std::string kZumen = "\x90\x7D\x96\xCA";          // 図面
const std::string kKanji = "\x8A\xBF\x8E\x9A";          // 漢字
const std::string kChuki = "\x92\x8D\x8B\x4C";          // 注記
const std::string kSunpo = "\x90\xA1\x96\x40";          // 寸法
const std::string kTategaki = "\x8F\x63\x8F\x91\x82\xAB";  // 縦書き
const std::string kKatakana = "\xB6\xC0\xB6\xC5";       // ｶﾀｶﾅ (half-width)
const std::string kTesuto = "\xC3\xBD\xC4";             // ﾃｽﾄ (half-width)
const std::string kUserDefined = "\xF0\x40";            // no JIS code

// The fields NC to TEXT of one string, with the file's delimiter `p`.
std::string NoteString(int NC, const std::string& WT, const std::string& HT, int FC,
                       const std::string& A, int VH, const std::string& XS,
                       const std::string& YS, const std::string& text, char p = ',') {
  std::string out;
  for (const std::string& field :
       {std::to_string(NC), WT, HT, std::to_string(FC), std::string("0.0"), A, std::string("0"),
        std::to_string(VH), XS, YS, std::string("0.0")}) {
    out += field;
    out += p;
  }
  return out + std::to_string(text.size()) + "H" + text;
}

// A General Note of `strings`, closed by ",0,0;" (no back pointers or
// properties) with the file's delimiters.
std::string Note(const std::vector<std::string>& strings, char p = ',', char r = ';') {
  std::string text = "212" + std::string(1, p) + std::to_string(strings.size());
  for (const std::string& s : strings) text += p + s;
  return text + p + "0" + p + "0" + r;
}

const char* kLine = "110,0.,0.,0.,100.,0.,0.;";


}  // namespace

std::vector<NamedFile> NoteFixtures() {
  std::vector<NamedFile> files;

  files.push_back(
      {"kanji-notes.igs",
       IgesFile()
           .Entity(110, kLine)
           .Entity(212, Note({NoteString(7, "35.0", "10.0", 1, "0.0", 0, "10.0", "20.0",
                                         kZumen + "ABC" + kKanji)}))
           .Entity(212, Note({NoteString(2, "12.0", "6.0", 1, "0.0", 0, "0.0", "0.0", kChuki),
                              NoteString(7, "21.0", "6.0", 1, "0.0", 0, "0.0", "-10.0", "ABC 123")}))
           .Entity(212, Note({NoteString(5, "25.", "5.", 3, "0.5235987755982988", 0, "-5.5",
                                         "1.25E1", "R" + kSunpo + "12" + kUserDefined)}))
           .Entity(110, kLine)
           .Build()});

  files.push_back(
      {"halfwidth-notes.igs",
       IgesFile()
           .Entity(212, Note({NoteString(4, "20.0", "8.0", 1, "0.0", 0, "10.0", "40.0", kKatakana)}))
           .Entity(212, Note({NoteString(5, "25.0", "8.0", 1, "0.0", 0, "10.0", "50.0",
                                         kTesuto + kKanji)}))
           .Build()});

  files.push_back(
      {"jis-code-notes.igs",
       IgesFile()
           .Entity(212, Note({NoteString(8, "10.0", "5.0", 2001, "0.0", 0, "10.0", "60.0",
                                         "34413b7a")}))
           .Entity(212, Note({NoteString(12, "15.0", "5.0", 2001, "0.0", 0, "10.0", "70.0",
                                         "2121467E7f7f"),
                              NoteString(3, "6.0", "5.0", 1, "0.0", 0, "40.0", "70.0", "XYZ")}))
           .Build()});

  files.push_back(
      {"vertical-notes.igs",
       IgesFile()
           .Entity(212, Note({NoteString(3, "10.0", "30.0", 1, "1.5707963267948966", 1, "80.0",
                                         "80.0", kTategaki)}))
           .Entity(212, Note({NoteString(8, "10.0", "20.0", 2001, "1.5707963267948966", 1,
                                         "90.0", "80.0", "3d443d71")}))
           .Entity(212, Note({NoteString(3, "30.0", "10.0", 1, "0.0", 1, "100.0", "80.0", "ABC")}))
           .Build()});

  files.push_back(
      {"negative-width-notes.igs",
       IgesFile()
           .Entity(212, Note({NoteString(4, "-20.0", "6.0", 1, "0.0", 0, "10.0", "90.0", kSunpo)}))
           .Entity(212, Note({NoteString(3, "-5.", "2.5", 1, "0.0", 0, "10.0", "95.0", "ABC")}))
           .Entity(212, Note({NoteString(3, "-10.0", "30.0", 1, "1.5707963267948966", 1, "60.0",
                                         "60.0", kTategaki)}))
           .Build()});

  {
    std::vector<std::string> strings;
    for (int i = 0; i < 6; ++i) {
      strings.push_back(NoteString(12, "60.0", "4.0", 1, "0.0", 0, std::to_string(10 * i) + ".0",
                                   "120.0", kZumen + kKanji + kChuki + kSunpo + kKatakana + "ABCD"));
    }
    files.push_back({"long-notes.igs",
                     IgesFile().Entity(110, kLine).Entity(212, Note(strings)).Entity(110, kLine).Build()});
  }

  files.push_back(
      {"other-delimiters.igs",
       IgesFile()
           .Global("1H//1H#/4Htest/8Htest.igs/6Hnotora/6Hnotora/32/38/6/308/15/4Htest/1./2/2HMM/1/"
                   "0.01/15H20261208.120000/0.001/100./6Hnotora/6Hnotora/11/0#")
           .Entity(212, Note({NoteString(3, "15.0", "5.0", 1, "0.0", 0, "0.0", "0.0",
                                         kKanji + "A", '/')},
                             '/', '#'))
           .Build()});

  files.push_back(
      {"crlf-notes.igs",
       WithCrLf(IgesFile()
                    .Entity(212, Note({NoteString(2, "10.0", "5.0", 1, "0.0", 0, "0.0", "0.0", kKanji)}))
                    .Entity(110, kLine)
                    .Build())});
  return files;
}

std::vector<NamedFile> BoundsFiles() {
  std::vector<NamedFile> files;
  const std::string note = Note({NoteString(2, "10.0", "5.0", 1, "0.0", 0, "0.0", "0.0", kKanji)});

  // Directory Entries that claim millions: type, pointer and line count of
  // 8 digits, and a T record that counts 9999998 D and 9999999 P records.
  {
    std::vector<std::string> records = IgesFile().Entity(212, note).Entity(110, kLine).Records();
    records[3] = Rec("99999999 9999999       0       0       0       0       0        00000000",
                     'D', 1);
    records[4] = Rec("99999999       0       099999999       0                        0", 'D', 2);
    records.back() = Rec("S      1G      2D9999998P9999999", 'T', 1);
    files.push_back({"claims-millions.igs", Lines(records)});
  }
  // A note that claims 99999999 P records and so is never complete; and an
  // entity with that claim followed by another.
  {
    std::vector<std::string> records = IgesFile().Entity(110, kLine).Entity(212, note).Records();
    records[6].replace(24, 8, "99999999");
    files.push_back({"line-counts-99999999.igs", Lines(records)});
    records[4].replace(24, 8, "99999999");
    files.push_back({"line-counts-99999999-twice.igs", Lines(records)});
  }
  // Hollerith counts of 2147483647, and of more than that.
  files.push_back({"hollerith-2147483647.igs",
                   IgesFile()
                       .Entity(212, "212,1,2,10.0,5.0,1,0.0,0.0,0,0,0.0,0.0,0.0,2147483647H" + kKanji + ",0,0;")
                       .Build()});
  files.push_back({"hollerith-beyond-int.igs",
                   IgesFile()
                       .Entity(212, "212,1,2,10.0,5.0,1,0.0,0.0,0,0,0.0,0.0,0.0,99999999999999999H" +
                                        kKanji + ",0,0;")
                       .Build()});
  // 25 digits in every field: the string count saturates and the note ends
  // where its text does.
  {
    const std::string digits(25, '9');
    std::string text = "212," + digits;
    for (int i = 0; i < 11; ++i) text += "," + digits;
    text += ",2H" + kKanji + ",0,0;";
    files.push_back({"digits-25.igs", IgesFile().Entity(212, text).Build()});
    files.push_back({"digits-26.igs", IgesFile().Entity(212, "212,9" + digits + ",1;").Build()});
    // 25 characters in every field, leading zeros making values a note may
    // have: the note is converted.
    auto wide = [](const std::string& value) { return std::string(25 - value.size(), '0') + value; };
    std::string valid = "212," + wide("1");
    for (const char* value : {"2", "10.0", "5.0", "1", "0.0", "0.0", "0", "1", "1.5", "2.5", "0.0"}) {
      valid += "," + wide(value);
    }
    valid += "," + wide("4") + "H" + kKanji + ",0,0;";
    files.push_back({"digits-25-valid.igs", IgesFile().Entity(212, valid).Build()});
  }
  // A string count of 2147483647 over 500 strings that are there.
  {
    std::string text = "212,2147483647";
    for (int i = 0; i < 500; ++i) {
      text += "," + NoteString(2, "1.0", "1.0", 1, "0.0", 0, "0.0", "0.0", kKanji);
    }
    text += ",0,0;";
    files.push_back({"string-count-claims.igs", IgesFile().Entity(212, text).Build()});
  }
  // The largest growth: a vertical string of 4000 half-width characters,
  // each of which becomes a block of its own in JIS code.
  {
    std::string text;
    for (int i = 0; i < 4000; ++i) text += kKatakana[i % 4];
    files.push_back({"vertical-growth.igs",
                     IgesFile()
                         .Entity(212, Note({NoteString(4000, "3333.333333333333", "0.7071067811865476",
                                                       1, "0.7853981633974483", 1,
                                                       "123.45678901234567", "-98.765432109876543",
                                                       text)}))
                         .Build()});
  }
  return files;
}

std::string DrawingWithPointers(const std::string& tail) {
  return IgesFile()
      .Entity(212,
              "212,3,2,10.0,5.0,1,0.0,0.0,0,0,10.0,20.0,0.0,4H\x8a\xbf\x8e\x9a,"
              "8,10.0,5.0,2001,0.0,0.0,0,0,10.0,40.0,0.0,8H34413b7a,"
              "3,10.0,30.0,1,0.0,1.5707963267948966,0,1,80.0,80.0,0.0,6H\x8f\x63\x8f\x91\x82\xab" +
                  tail)
      .Entity(402, "402,1,1;", 7)
      .Entity(406, "406,1,4HNOTE;", 15)
      .Entity(406, "406,2,1,1;", 34)
      .Build();
}

}  // namespace notora::testing
