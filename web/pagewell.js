/*
 * pagewell.js: the Pagewell control in current browsers, through the local
 * Pagewell service (pagewell-service.exe) on the user's machine. No
 * dependencies; load it as a classic script (it defines the global
 * `Pagewell`) or import pagewell.mjs as an ES module.
 *
 *   const pw = await Pagewell.connect();        // ws://127.0.0.1:47115/control
 *   pw.OnAcquire = function () { ... };         // or pw.on("OnAcquire", f)
 *   pw.DeviceName = "Pagewell Virtual Feeder";  // writes keep their order
 *   await pw.acquire();                         // as the Acquire button does
 *   const count = await pw.ImageCount;          // reads answer promises
 *   const png = await pw.pageImage(1, { width: 800 });   // a Blob
 *   const pdf = await pw.output();              // the file the upload would send
 *
 * Every member of the control's type library is there by its name: the
 * service lists them when the connection opens. A lost connection rejects
 * whatever is pending with an Error whose `code` is "PAGEWELL_DISCONNECTED";
 * `pw.reconnect()` connects again with the same event handlers.
 *
 * On a machine with several users signed in at once (a terminal server),
 * each Windows session runs its own service on a port of its own: 47115 for
 * the console, 47115 + session id - 1 for the sessions after it, up to
 * 47115 + 63. A service serves only its own user's programs, and refuses
 * the others' connections at once, so `connect()` without a port tries
 * 47115 first and then the next ports in order, and keeps the first that
 * opens. `connect({ port: N })` or `connect({ url: "ws://..." })` tries
 * only that one.
 */
(function (global) {
  "use strict";

  var DEFAULT_PORT = 47115;
  var SESSION_PORTS = 64;

  function PagewellError(message, code) {
    var error = new Error("Pagewell: " + message);
    error.code = code;
    return error;
  }

  function Session(url) {
    this.url = url;
    this.socket = null;
    this.nextId = 1;
    this.pending = {};        // id -> {resolve, reject, binary}
    this.binaryWaiters = [];  // answers whose bytes come as the next binary message
    this.handlers = {};       // event name -> [functions]
    this.slots = {};          // event name -> the function set as pw.OnX
    this.members = { properties: {}, methods: {}, events: [] };
    this.closedError = null;
  }

  Session.prototype.open = function () {
    var session = this;
    session.closedError = null;
    return new Promise(function (resolve, reject) {
      var socket;
      try {
        socket = new WebSocket(session.url);
      } catch (error) {
        reject(PagewellError("cannot reach the service at " + session.url + ": " + error.message, "PAGEWELL_UNREACHABLE"));
        return;
      }
      socket.binaryType = "arraybuffer";
      session.socket = socket;
      var opened = false;
      socket.onopen = function () {
        session.request({ op: "members" }).then(function (members) {
          session.members = members;
          opened = true;
          resolve();
        }, reject);
      };
      socket.onmessage = function (message) { session.receive(message.data, reject); };
      socket.onclose = function (event) {
        var error = session.closedError ||
          PagewellError(opened ? "the connection to the service was lost (" + event.code + ")"
                               : "the service refused the connection or is not running", "PAGEWELL_DISCONNECTED");
        session.closedError = error;
        session.failPending(error);
        if (!opened) reject(error);
      };
    });
  };

  Session.prototype.receive = function (data, rejectOpen) {
    if (typeof data !== "string") {
      var waiter = this.binaryWaiters.shift();
      if (waiter) waiter.resolve(new Blob([data], { type: waiter.type }));
      return;
    }
    var message = JSON.parse(data);
    if (message.busy) {
      this.closedError = PagewellError(message.error, "PAGEWELL_BUSY");
      rejectOpen(this.closedError);
      return;
    }
    if (message.event) return this.raise(message.event, message.args || []);
    var call = this.pending[message.id];
    if (!call) return;
    delete this.pending[message.id];
    if ("error" in message) return call.reject(PagewellError(message.error, "PAGEWELL_CONTROL_ERROR"));
    if (call.binary && message.result && typeof message.result.size === "number") {
      this.binaryWaiters.push({ resolve: call.resolve, type: message.result.type || "application/octet-stream" });
      return;
    }
    call.resolve(message.result);
  };

  Session.prototype.request = function (fields, binary) {
    var session = this;
    if (session.closedError || !session.socket || session.socket.readyState !== 1)
      return Promise.reject(session.closedError || PagewellError("not connected", "PAGEWELL_DISCONNECTED"));
    var id = session.nextId++;
    fields.id = id;
    return new Promise(function (resolve, reject) {
      session.pending[id] = { resolve: resolve, reject: reject, binary: !!binary };
      session.socket.send(JSON.stringify(fields));
    });
  };

  Session.prototype.failPending = function (error) {
    var pending = this.pending;
    this.pending = {};
    Object.keys(pending).forEach(function (id) { pending[id].reject(error); });
    this.binaryWaiters.splice(0).forEach(function (waiter) { waiter.resolve(Promise.reject(error)); });
  };

  Session.prototype.raise = function (name, args) {
    var listeners = (this.handlers[name] || []).slice();
    if (this.slots[name]) listeners.unshift(this.slots[name]);
    listeners.forEach(function (listener) {
      try {
        listener.apply(null, args);
      } catch (error) {
        setTimeout(function () { throw error; });
      }
    });
  };

  Session.prototype.isEvent = function (name) { return this.members.events.indexOf(name) >= 0; };

  // The object the page uses: the library's own functions, and every other
  // name looked up in the control's members.
  function controlProxy(session) {
    var own = {
      on: function (name, listener) { (session.handlers[name] = session.handlers[name] || []).push(listener); },
      off: function (name, listener) {
        session.handlers[name] = (session.handlers[name] || []).filter(function (f) { return f !== listener; });
      },
      set: function (name, value) { return session.request({ op: "put", name: name, value: value }); },
      acquire: function () { return session.request({ op: "acquire" }); },
      pageImage: function (page, options) {
        return session.request({ op: "pageImage", options: withPage(page, options) }, true);
      },
      thumbnail: function (page, options) {
        return session.request({ op: "thumbnail", options: withPage(page, options) }, true);
      },
      output: function () { return session.request({ op: "output" }, true); },
      close: function () { if (session.socket) session.socket.close(1000); },
      reconnect: function () { return session.open().then(function () { return proxy; }); },
      members: function () { return session.members; },
    };
    var proxy = new Proxy(own, {
      get: function (target, name) {
        if (Object.prototype.hasOwnProperty.call(target, name)) return target[name];
        // Not a promise itself, so that `await Pagewell.connect()` gives it.
        if (typeof name !== "string" || name === "then") return undefined;
        if (session.isEvent(name)) return session.slots[name] || null;
        if (name in session.members.methods)
          return function () {
            return session.request({ op: "call", name: name, args: Array.prototype.slice.call(arguments) });
          };
        if (name in session.members.properties) return session.request({ op: "get", name: name });
        return undefined;
      },
      set: function (target, name, value) {
        if (session.isEvent(name)) {
          session.slots[name] = typeof value === "function" ? value : null;
          return true;
        }
        if (!(name in session.members.properties)) throw new TypeError("Pagewell: the control has no property " + String(name));
        session.request({ op: "put", name: name, value: value }).catch(function (error) {
          if ((session.handlers.error || []).length) session.raise("error", [error]);
          else console.warn(error.message);
        });
        return true;
      },
    });
    return proxy;
  }

  function withPage(page, options) {
    var result = { page: page };
    Object.keys(options || {}).forEach(function (key) { result[key] = options[key]; });
    return result;
  }

  function serviceUrl(port) { return "ws://127.0.0.1:" + port + "/control"; }

  // The session's service: the first port of the range that opens. A busy
  // service is this user's own (another page has the scanner): that answer
  // ends the search.
  function openFirstService(port, firstError) {
    var session = new Session(serviceUrl(port));
    return session.open().then(function () { return session; }, function (error) {
      var lastPort = DEFAULT_PORT + SESSION_PORTS - 1;
      if (error.code === "PAGEWELL_BUSY") throw error;
      if (port >= lastPort) throw firstError || error;
      return openFirstService(port + 1, firstError || error);
    });
  }

  function connect(options) {
    options = options || {};
    if (options.url || options.port) {
      var session = new Session(options.url || serviceUrl(options.port));
      return session.open().then(function () { return controlProxy(session); });
    }
    return openFirstService(DEFAULT_PORT, null).then(controlProxy);
  }

  global.Pagewell = { connect: connect, DEFAULT_PORT: DEFAULT_PORT, SESSION_PORTS: SESSION_PORTS };
})(typeof globalThis !== "undefined" ? globalThis : this);
