// A printed text that must stay whole in a box of fixed width gets a smaller
// font rather than losing characters: the item list's amounts and quantities
// and the certificate's quantities are fitted the same way.
#pragma once

#include <functional>

namespace printfit {

// `natural` when the text's width at that size (`widthAt`) is at most
// `available`; otherwise the largest size below it, in tenths of a point, at
// which it is, but never below `smallest` (where a text may still be too
// wide).
float fittingSize(float natural, float smallest, float available, const std::function<double(float size)>& widthAt);

} // namespace printfit
