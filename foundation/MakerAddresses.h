#pragma once
// Where the maker of both programs can be reached: the about boxes, the
// settings program's links and the product catalog all point here.
#include <QString>

// The maker's web site, with a trailing "/".
QString MakerWebAddress();

// The maker's support e-mail address.
QString MakerSupportAddress();
