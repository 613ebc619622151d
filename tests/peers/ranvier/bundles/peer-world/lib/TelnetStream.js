'use strict';

// The player's telnet connection as Ranvier's core sees it: a TransportStream around a
// ranvier-telnet TelnetSocket that offers end-of-record and GMCP, ends each prompt with IAC EOR
// once the client has asked for it (IAC GA otherwise), and sends GMCP only after the client's
// IAC DO GMCP.

const { Sequences, Options } = require('ranvier-telnet');
const { TransportStream } = require('ranvier');

class TelnetStream extends TransportStream {
  attach(socket) {
    super.attach(socket);
    this.gmcp = false;

    socket.on('data', message => this.emit('data', message));
    socket.on('error', err => this.emit('error', err));

    // ranvier-telnet answers DO/DONT EOR itself (its gaMode); every other option comes here.
    socket.on('DO', opt => {
      if (opt === Options.OPT_GMCP) {
        this.gmcp = true;
        this.emit('gmcp');
      } else {
        socket.telnetCommand(Sequences.WONT, opt);
      }
    });
    socket.on('DONT', opt => {
      if (opt === Options.OPT_GMCP) this.gmcp = false;
    });

    socket.telnetCommand(Sequences.WILL, Options.OPT_EOR);
    socket.telnetCommand(Sequences.WILL, Options.OPT_GMCP);
  }

  get writable() {
    return this.socket.writable;
  }

  write(message, encoding = 'utf8') {
    if (this.writable) this.socket.write(message, encoding);
  }

  pause() {
    this.socket.pause();
  }

  resume() {
    this.socket.resume();
  }

  end() {
    this.socket.end();
  }

  executeToggleEcho() {
    this.socket.toggleEcho();
  }

  // Broadcast.prompt ends every prompt with this.
  executeGoAhead() {
    this.socket.telnetCommand(this.socket.gaMode || Sequences.GA, []);
  }

  // IAC SB GMCP <package> <json> IAC SE. ranvier-telnet 1.0.3 as published leaves the option
  // byte out of its own sendGMCP (IAC SB "Room.Info ..." IAC SE), which no client reads as
  // GMCP, so the subnegotiation is built here and sent with its telnetCommand. The JSON is
  // UTF-8 and never holds a 0xFF byte.
  executeSendGMCP(gmcpPackage, data) {
    if (!this.gmcp || !this.writable) return;
    const payload = Buffer.from(gmcpPackage + ' ' + JSON.stringify(data), 'utf8');
    this.socket.telnetCommand(Sequences.SB,
      [Options.OPT_GMCP, ...payload, Sequences.IAC, Sequences.SE]);
  }
}

module.exports = TelnetStream;
