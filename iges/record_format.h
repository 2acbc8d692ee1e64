// The IGES record format as notora reads and writes it.
//
// The reader, the section checks, the output writer, the note code and the
// front ends take the record's layout from here and spell no column or
// width of their own. Columns are counted from 1, as IGES counts them; a
// range names its first and its last column, both included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace notora {

// A range of columns of a record.
struct Columns {
  std::size_t first;
  std::size_t last;
  constexpr std::size_t width() const { return last - first + 1; }
};

// Every record: 80 characters, the letter of its section (S, G, D, P or T)
// in column 73 and its sequence number within the section in columns 74-80.
inline constexpr std::size_t kRecordLength = 80;
inline constexpr std::size_t kSectionLetterColumn = 73;
inline constexpr Columns kSequenceColumns{74, 80};

// Directory Entry records: two per entity, ten fields of 8 columns each
// before column 73. Entry k is D records 2k-1 and 2k.
inline constexpr Columns kEntityTypeColumns{1, 8};              // both records
inline constexpr Columns kParameterPointerColumns{9, 16};       // the first record
inline constexpr Columns kParameterLineCountColumns{25, 32};    // the second record
// The fields a conversion copies as they stand: 3 to 9 of the first record,
// 12 and 13 and 15 to 19 of the second.
inline constexpr Columns kFirstRecordCopiedColumns{17, 72};
inline constexpr Columns kSecondRecordCopiedColumnsBefore{9, 24};
inline constexpr Columns kSecondRecordCopiedColumnsAfter{33, 72};
// The entity's form number, in the second record.
inline constexpr Columns kFormColumns{33, 40};
// The entity's label, right-justified, in the second record.
inline constexpr Columns kEntityLabelColumns{57, 64};

// The sequence number of the first D record of entry k.
constexpr std::int64_t FirstDirectoryRecord(std::int64_t k) { return 2 * k - 1; }

// Parameter Data records: the entity's parameter data in columns 1-64, a
// blank in column 65 and the sequence number of the entity's first D record
// in columns 66-72. An entity's parameter text is columns 1-64 of its P
// records joined, 64 bytes per record.
inline constexpr std::size_t kParameterDataWidth = 64;
inline constexpr std::size_t kParameterBlankColumn = 65;
inline constexpr Columns kDirectoryPointerColumns{66, 72};
// An entity's first P record starts with its type in columns 1-3 and the
// parameter delimiter in column 4.
inline constexpr Columns kParameterTypeColumns{1, 3};
inline constexpr std::size_t kParameterTypeDelimiterColumn = 4;

// The width of the numbers the output writer puts into fixed columns: the
// fields of D records, and sequence numbers and the directory pointer.
inline constexpr std::size_t kDirectoryFieldWidth = 8;
inline constexpr std::size_t kSequenceWidth = 7;

// The Terminate record: the record counts of the S, G, D and P sections,
// each a section letter and a count of kSequenceWidth columns (columns 1-32),
// then blanks up to column 72 and the record's own letter and sequence
// number.
inline constexpr char kTerminateCountLetters[] = {'S', 'G', 'D', 'P'};
inline constexpr std::string_view kTerminateRecordEnd =
    "                                        T      1";

// The delimiters of a file whose Global section names none.
inline constexpr char kDefaultParameterDelimiter = ',';
inline constexpr char kDefaultRecordDelimiter = ';';

// The entity a conversion works on, and the font code of text written in
// JIS-code notation: the JIS X 0208 code of every character as four
// hexadecimal digits.
inline constexpr std::int32_t kGeneralNoteType = 212;
inline constexpr std::int32_t kJisCodeFont = 2001;
inline constexpr std::size_t kJisCodeDigits = 4;

// Progress is shown at every record number that is a multiple of this.
inline constexpr std::int32_t kProgressInterval = 100;

}  // namespace notora
