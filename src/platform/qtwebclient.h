#pragma once

#include "services.h"

#include <memory>

class QNetworkAccessManager;

// GET through QNetworkAccessManager, waiting in a local event loop that leaves out user
// input, so the window paints but no handler runs again while the answer is awaited.
class QtWebClient : public WebClient
{
public:
    QtWebClient();
    ~QtWebClient() override;
    using WebClient::get;
    WebAnswer get(const WebRequest &request) override;

private:
    std::unique_ptr<QNetworkAccessManager> m_network;
};
