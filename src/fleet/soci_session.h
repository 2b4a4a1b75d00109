#pragma once
// SOCI, as the fleet store's sources include it. Debian's build of the library was configured
// with Boost, whose conversions (Boost.Fusion, Boost.Optional) the store does not use: they are
// header templates only, so they are switched off here rather than making Boost a dependency.
#include <soci/soci-config.h>
#undef SOCI_HAVE_BOOST
#undef SOCI_HAVE_BOOST_DATE_TIME
#include <soci/soci.h>
