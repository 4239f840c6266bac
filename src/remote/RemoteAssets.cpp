#include "RemoteAssets.h"

#include "ZrWebData.h"

namespace remote
{
    namespace
    {
        const Asset assets[] = {
            { "/", "text/html; charset=utf-8", ZrWeb::index_html, (std::size_t) ZrWeb::index_htmlSize },
            { "/remote.css", "text/css; charset=utf-8", ZrWeb::remote_css, (std::size_t) ZrWeb::remote_cssSize },
            { "/remote.js", "text/javascript; charset=utf-8", ZrWeb::remote_js, (std::size_t) ZrWeb::remote_jsSize },
            { "/icon.svg", "image/svg+xml", ZrWeb::icon_svg, (std::size_t) ZrWeb::icon_svgSize },
        };
    }

    const Asset* findAsset (std::string_view target)
    {
        const auto query = target.find_first_of ("?#");
        if (query != std::string_view::npos)
            target = target.substr (0, query);
        if (target == "/index.html")
            target = "/";
        for (const auto& asset : assets)
            if (asset.path == target)
                return &asset;
        return nullptr;
    }
}
