// Routes of the web front end.
#include "web_service.h"

#include "screens.h"
#include "web_words.h"

#include <nlohmann/json.hpp>

#include <climits>
#include <memory>

namespace stdhost {
namespace {

void plain(httplib::Response &res, int status, const char *text) {
  res.status = status;
  res.set_content(text, "text/plain; charset=utf-8");
}

// A request's JSON body, or nothing when it is not a small JSON object.
std::optional<nlohmann::json> body(const httplib::Request &req) {
  if (req.body.size() > 16384 || req.get_header_value("Content-Type").rfind("application/json", 0) != 0)
    return std::nullopt;
  auto j = nlohmann::json::parse(req.body, nullptr, false);
  if (j.is_discarded() || !j.is_object()) return std::nullopt;
  return j;
}

std::optional<WebAnswer> answerOf(const nlohmann::json &j) {
  WebAnswer a;
  if (!j.contains("screen") || !j["screen"].is_number_integer() || !j.contains("action") || !j["action"].is_string())
    return std::nullopt;
  a.screen = j["screen"].get<int>();
  a.action = j["action"].get<std::string>();
  if (j.contains("value")) {
    if (!j["value"].is_number_integer()) return std::nullopt;
    a.value = j["value"].get<long long>();
    // The cancel's own number is no entry.
    if (a.value < kLowestNumber || a.value > INT_MAX) return std::nullopt;
  }
  if (j.contains("ticks")) {
    if (!j["ticks"].is_array() || j["ticks"].size() > 320) return std::nullopt;
    for (const auto &t : j["ticks"]) {
      if (!t.is_boolean()) return std::nullopt;
      a.ticks.push_back(t.get<bool>());
    }
  }
  return a;
}

}  // namespace

WebService::WebService(WebHub &hub) : hub_(hub) { routes(); }

void WebService::routes() {
  auto &http = server_.http();
  http.Get(R"(/|/app\.js|/app\.css|/icon\.svg)", [](const httplib::Request &req, httplib::Response &res) {
    const WebAsset *a = findWebAsset(req.path == "/" ? "/index.html" : req.path);
    if (!a) return plain(res, 404, "not found\n");
    const std::string type = a->type;
    res.set_content(a->body, type.rfind("text/", 0) == 0 ? type + "; charset=utf-8" : type);
    res.set_header("Cache-Control", "no-cache");
  });

  // The page's words: the same for every page while the library is loaded.
  http.Get("/words.js", [](const httplib::Request &, httplib::Response &res) {
    static const std::string script = pageWordsScript();
    res.set_content(script, "text/javascript; charset=utf-8");
    res.set_header("Cache-Control", "no-cache");
  });

  http.Get("/events", [this](const httplib::Request &req, httplib::Response &res) {
    const std::string client = hub_.connect(req.remote_addr, req.get_header_value("Accept-Language"));
    struct Cursor {
      std::uint64_t seen, control = 0;
      bool hello = false;
    };
    auto cursor = std::make_shared<Cursor>(Cursor{hub_.newest()});
    res.set_header("Cache-Control", "no-store");
    res.set_header("X-Accel-Buffering", "no");
    res.set_chunked_content_provider(
        "text/event-stream",
        [this, client, cursor](std::size_t, httplib::DataSink &sink) {
          std::string out;
          if (!cursor->hello) {
            cursor->hello = true;
            out = "retry: 1000\nevent: hello\ndata: {\"client\":\"" + client + "\"}\n\n";
          }
          if (!hub_.nextEvents(client, cursor->seen, cursor->control, out, kHeartbeatMs)) {
            sink.done();
            return true;
          }
          if (out.empty()) out = ": still here\n\n";  // finds a closed tab out
          return sink.write(out.data(), out.size());
        },
        [this, client](bool) { hub_.disconnect(client); });
  });

  http.Post("/api/answer", [this](const httplib::Request &req, httplib::Response &res) {
    auto j = body(req);
    auto a = j ? answerOf(*j) : std::nullopt;
    if (!a) return plain(res, 400, "not an answer\n");
    switch (hub_.give(req.get_header_value("X-Vaz-Client"), std::move(*a))) {
      case WebHub::Given::Taken: return plain(res, 200, "ok\n");
      case WebHub::Given::NotController: return plain(res, 409, "another browser controls this session\n");
      case WebHub::Given::Stale: return plain(res, 409, "that screen is no longer shown\n");
      case WebHub::Given::Unknown: return plain(res, 409, "this page is not connected\n");
    }
  });

  http.Post("/api/takeover", [this](const httplib::Request &req, httplib::Response &res) {
    if (!hub_.takeOver(req.get_header_value("X-Vaz-Client"))) return plain(res, 409, "this page is not connected\n");
    plain(res, 200, "ok\n");
  });

  http.Post("/api/language", [this](const httplib::Request &req, httplib::Response &res) {
    auto j = body(req);
    if (!j || !(*j)["language"].is_string()) return plain(res, 400, "not a language\n");
    const std::string l = (*j)["language"].get<std::string>();
    if (l != "en" && l != "ru") return plain(res, 400, "not a language\n");
    if (!hub_.askLanguage(req.get_header_value("X-Vaz-Client"), l))
      return plain(res, 409, "another browser controls this session\n");
    plain(res, 200, "ok\n");
  });
}

}  // namespace stdhost
