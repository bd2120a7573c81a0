// A simulated host with the screen dpi and interface language a look test
// needs, made the host of this process; the scale factor and the language are
// stored the way start-up and the main window store them.
#pragma once

#include "app/AppContext.h"
#include "app/LanguageSelection.h"
#include "app/ScreenScale.h"
#include "platform/sim/SimRegistry.h"
#include "support/TestHost.h"

#include <memory>

// "LanguageType" of the host product for a language.
inline int languageTypeOf(UiLanguage language) {
    return static_cast<int>(language); // EN 0, DE 1, ... HI 10
}

class LookHost {
public:
    LookHost(int dpi, UiLanguage language) {
        simhost::HostSpec setup = simhost::sampleHostSpec();
        setup.dpi = dpi;
        m_host = std::make_unique<TestHost>(setup);
        fixHostIdentity();
        setLanguage(language);
        probeScreenScale();
    }

    bool isValid() const { return m_host->isValid(); }

    // As if the user had picked another language in the host product.
    void setLanguage(UiLanguage language) {
        simhost::setRegistryValue(m_host->root(), AppContext::hostSettingsKey(),
                                  QStringLiteral("LanguageType"), languageTypeOf(language));
        selectLanguageFromHost();
    }

private:
    std::unique_ptr<TestHost> m_host;
};
