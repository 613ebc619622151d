'use strict';

// The login: a name, nothing else. The player starts in the starting room.

const { Broadcast: B, Config, Player } = require('ranvier');

module.exports = {
  event: state => socket => {
    socket.write('\r\nWelcome to Millbrook.\r\nBy what name do you wish to be known? ');
    socket.command('goAhead');
    socket.once('data', data => {
      const name = data.toString().trim();
      if (!/^[A-Za-z]{3,20}$/.test(name)) {
        socket.write('Names are 3 to 20 letters.\r\n');
        return socket.emit('intro', socket);
      }
      const player = new Player({
        name: name[0].toUpperCase() + name.slice(1).toLowerCase(),
        room: Config.get('startingRoom'),
        prompt: '<cyan>[Millbrook]</cyan>>',
      });
      player.socket = socket;
      socket.on('close', () => {
        if (player.room) player.room.removePlayer(player);
        state.PlayerManager.removePlayer(player);
      });
      state.PlayerManager.addPlayer(player);
      player.hydrate(state);
      socket.emit('done', socket, { player });
    });
  },
};
