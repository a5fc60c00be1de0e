#pragma once

// The block state that marks a line of the speech window's text as a chapter heading: headings of
// opened documents carry it, so that a saved episode can list its chapters.
inline constexpr int ChapterHeadingBlockState = 1;
