#pragma once
// Writing the page's arguments into the host's outgoing list: one switch and its value per row,
// in the order they are added. The list only ever grows, one row at a time.

#include "common/Text.h"
#include "common/Tokenizer.h"
#include "platform/ArgumentList.h"
#include "platform/Platform.h"

namespace varkel {

// Hosts hand the list in with one blank row, so a list whose only row has an empty name is
// filled in place; any other list gets a new last row. A list that is not two-dimensional
// with columns 0 to 1 and rows from 0, has no row, or cannot grow fails (logged, thrown on).
void AddArgumentToOutGoingSafeArray(const Platform& platform, ArgumentList& saArguments,
                                    TextView strName, TextView strValue);

// Asks (Yes/No, titled with the thread's PageTitle) whether a value that failed the page's
// check is to be written anyway; writes it on Yes, leaves the list alone on No, and logs the
// outcome either way. Answers whether the value was written.
[[nodiscard]] bool PromptUserAboutSavingIncorrectArgument(const Platform& platform,
                                                          ArgumentList& saArguments,
                                                          const Text& strName, const Text& strValue,
                                                          const Text& strReason);

// Splits the free text and appends every token of it, in order: a switch with its value, a
// word (a lone word, one before the first switch, one with an unclosed quote) as typed with an
// empty value, so that no word the user gave is lost. Throws nothing: a text that cannot be
// split (too many tokens) adds nothing, and a row that cannot be written is skipped, both
// logged. A text without any switch prefix is logged by the tokenizer and comes back as the
// one word it is; blanks alone add nothing. Answers whether every token of the text is in the
// list, so that a caller never takes a list that lost some for complete.
[[nodiscard]] bool AddAdditionalArgumentsToOutGoingSafeArray(const Platform& platform,
                                                             const Text& strAdditional,
                                                             ArgumentList& saArguments);
// The same, splitting into `split`, whose storage a caller keeps from call to call.
[[nodiscard]] bool AddAdditionalArgumentsToOutGoingSafeArray(const Platform& platform,
                                                             const Text& strAdditional,
                                                             ArgumentList& saArguments,
                                                             ParsedArguments& split);

} // namespace varkel
