// EntityOutput: where the Parameter Data section hands every entity as it is
// read, for the output (OutputWriter) or for tests that look at the texts.
#pragma once

#include <cstdint>
#include <string_view>

namespace notora {

class EntityOutput {
 public:
  virtual ~EntityOutput() = default;
  // True when entity k's records are to go out one by one as they are
  // read (StreamLine), rather than as one text when it is complete.
  virtual bool Streams(std::int32_t k) const = 0;
  // True when the text of an entity that does not stream is wanted.
  virtual bool WantsTexts() const = 0;
  // One record of the entity that streams: columns 1-64 at `data`.
  virtual void StreamLine(const char* data) = 0;
  // The entity that streams is complete.
  virtual void EntityStreamed(std::int32_t k) = 0;
  // Entity k is complete with `text`, which is to fill `lineCount` records.
  virtual void EntityText(std::int32_t k, std::string_view text, std::int32_t lineCount) = 0;
  // P record `recordNumber` has been handled.
  virtual void RecordsPassed(std::int32_t recordNumber) = 0;
};

}  // namespace notora
