// The text a result shows, from the one results-to-texts table.
#include <gtest/gtest.h>

#include <string>

#include "pages/result_texts.h"

namespace trx::pages::testing {
namespace {

TEST(ResultTexts, EachResultShowsItsLanguageText) {
  const struct {
    const char* text_id;
    const char* expected;  // nullptr: no text
  } rows[] = {
      {TextIdOf(ProfileOpResult::Ok), nullptr},
      {TextIdOf(ProfileOpResult::FileMissing), "message_text_8"},  // an add without its default file
      {TextIdOf(ProfileOpResult::BadName), nullptr},               // the page names the reason
      {TextIdOf(UploadResult::Ok), nullptr},
      {TextIdOf(UploadResult::FileError), "message_text_8"},
      {TextIdOf(routine::RoutineResult::TooManyActions), "message_text_18"},
      {TextIdOf(routine::RoutineResult::TooLarge), nullptr},       // the page names the sizes
      {TextIdOf(ProfileSaveResult::Failed), "message_text_8"},
  };
  for (const auto& row : rows) {
    if (row.expected == nullptr) EXPECT_EQ(row.text_id, nullptr);
    else EXPECT_EQ(std::string(row.text_id != nullptr ? row.text_id : "(none)"), row.expected);
  }
}

}  // namespace
}  // namespace trx::pages::testing
