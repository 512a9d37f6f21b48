// Every web address the setup knows, in one place. The hosts are build-time
// settings (reserved example domains); the paths are fixed.
#pragma once

// The maker's web site: licence agreement and FAQ page.
constexpr char kProductWebBase[] = "http://www.tessolo.example";
constexpr char kEulaPath[] = "/eula.htm";
constexpr char kFaqPath[] = "/faq.htm";

// The maker's two download bases for partner installers. What the setup runs
// from there must have the SHA-256 digest the build carries for it
// (product/PartnerDigests.h, generated from the build settings
// TESSOLO_PARTNER_*_SHA256).
constexpr char kMainDownloadBase[] = "http://download.tessolo.example/google/";
constexpr char kAltDownloadBase[] = "http://mirror.tessolo.example/google/";

// The toolbar partner's site.
constexpr char kToolbarPartnerBase[] = "http://toolbar.partner.example";
constexpr char kToolbarTermsPath[] = "/accounts/TOS";
constexpr char kToolbarPrivacyPath[] = "/support/toolbar/?quick=privacy";

// The browser partner's sites.
constexpr char kBrowserPartnerBase[] = "http://browser.partner.example";
constexpr char kBrowserTermsPath[] = "/chrome/intl/de/eula_text.html";
constexpr char kBrowserPrivacyPath[] = "/chrome/intl/de/privacy.html";
constexpr char kBrowserToolsBase[] = "http://tools.partner.example";
constexpr char kBrowserWelcomePath[] = "/chrome/intl/de/welcome.html";
constexpr char kPartnerSearchHome[] = "http://search.partner.example";
