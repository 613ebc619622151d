'use strict';

const { Broadcast: B } = require('ranvier');
const RoomView = require('../lib/RoomView');

module.exports = {
  event: state => (socket, args) => {
    const player = args.player;
    B.sayAt(player, `Hello, ${player.name}.`);
    RoomView.show(state, player);
    B.prompt(player);
    // The client's IAC DO GMCP may come in after the first room was shown: show it again then.
    socket.once('gmcp', () => player.room && socket.command('sendGMCP', 'Room.Info',
      RoomView.info(state, player.room)));
    socket.emit('commands', player);
  },
};
