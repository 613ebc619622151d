'use strict';

// The game's telnet port, on 127.0.0.1 only.

const Telnet = require('ranvier-telnet');
const { Logger } = require('ranvier');
const TelnetStream = require('../lib/TelnetStream');

module.exports = {
  listeners: {
    startup: state => function (commander) {
      const server = new Telnet.TelnetServer(rawSocket => {
        const telnetSocket = new Telnet.TelnetSocket();
        telnetSocket.attach(rawSocket);
        // ranvier-telnet reads a first packet that starts with IAC at once, even without a line
        // end, and then drops the rest of it: a client's (or a relay's) IAC DO GMCP sent in one
        // packet with the player's name would lose the name. Without the flag, negotiation waits
        // for the first line and is read with it.
        rawSocket.fresh = false;

        const stream = new TelnetStream();
        stream.attach(telnetSocket);
        stream.on('error', err => Logger.error(err.message || err));

        state.InputEventManager.attach(stream);
        Logger.log('User connected...');
        stream.emit('intro', stream);
      }).netServer;

      server.on('error', err => {
        Logger.error(`Cannot listen on 127.0.0.1:${commander.port}: ${err.message}`);
        process.exit(1);
      });
      server.listen(commander.port, '127.0.0.1', () => {
        // Tests wait for this line.
        console.log(`listening on 127.0.0.1:${server.address().port}`);
      });
    },

    shutdown: state => function () {},
  },
};
